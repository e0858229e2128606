// Reading a hit's file and line back from result text, and what opens it.
#include "search/hit_location.h"

#include <gtest/gtest.h>

#include "common/system_charset.h"
#include "common/temp_dir.h"
#include "config/app_settings.h"
#include "index/ix_paths.h"

namespace {

std::string describe(const std::optional<HitPosition>& p) {
    return p ? std::string(p->path.view()) + " @" + std::to_string(p->line) : "none";
}

std::string describe(const HitOpening& o) {
    if (o.kind == HitOpenKind::None) return "none";
    if (o.kind == HitOpenKind::Desktop) return "desktop " + std::string(o.path.view());
    std::string text = "editor " + std::string(o.program.view());
    for (const LStr& a : o.arguments) text += " [" + std::string(a.view()) + "]";
    return text;
}

}  // namespace

TEST(HitLocation, ParsesThePositionAtTheStartOfALine) {
    const struct {
        std::string line, expected;
    } cases[] = {
        {"sub/memo.txt(12): a (3) record", "sub/memo.txt @12"},
        {"/docs/a b.txt(0012): x", "/docs/a b.txt @12"},
        {"memo.txt", "memo.txt @1"},
        {sj("東京ソ.txt(3): x"), sj("東京ソ.txt @3")},
        {sj("ソ表.txt"), sj("ソ表.txt @1")},  // trail bytes 0x5C are no backslash
        {"/docs/memo.txt", "none"},
        {"a(b)(3): x", "a(b) @3"},
        {"a(1).txt(5): x (7): y", "a(1).txt @5"},
        {"a(b)(3) x", "a @1"},
        {"", "none"},
    };
    for (const auto& c : cases) EXPECT_EQ(describe(parseHitPosition(c.line)), c.expected) << c.line;
}

TEST(HitLocation, ChoosesEditorOrDesktopForAnExistingFile) {
    TempDir dir;
    const std::string base = dir.path() + "/";
    const std::string memo = dir.write("sub/memo.txt", "x");
    const std::string blank = dir.write("a b.txt", "x");
    const std::string doc = dir.write("report.doc", "x");
    // A dictionary body's converted text under the index folder.
    const std::string body = base + "dict/HONMON.txt";
    const std::string converted =
        dir.write("ix/" + std::string(ixMirrorPath("", body).view()), "x");

    const struct {
        std::string line, base, app, format, expected;
    } cases[] = {
        {"sub/memo.txt(12): x", base, "ed", "-n<@>", "editor ed [-n12] [" + memo + "]"},
        {"sub/memo.txt(12): x", "", "ed", "-n<@>", "none"},
        {blank + "(3): x", "/elsewhere/", "ed", "", "editor ed [" + blank + "]"},
        {"a b.txt(5): x", base, "ed", R"(-n<@>  "--title x y" --at=<@>:<@>)",
         "editor ed [-n5] [--title x y] [--at=5:5] [" + blank + "]"},
        {"report.doc(2): x", base, "ed", "-n<@>", "desktop " + doc},
        {"sub/memo.txt(2): x", base, "", "-n<@>", "desktop " + memo},
        {"dict/HONMON.txt(9): x", base, "ed", "", "editor ed [" + converted + "]"},
        // Result lines name the body itself; its text is what opens.
        {"dict/HONMON(9): x", base, "ed", "-n<@>", "editor ed [-n9] [" + converted + "]"},
        {"sub/gone.txt(2): x", base, "ed", "-n<@>", "none"},
        {"sub(2): x", base, "ed", "", "none"},  // a folder
    };
    AppSettings settings;
    settings.ixfDir = LStr(dir.path("ix/").c_str());
    settings.rebuildNonTextExtList();
    for (const auto& c : cases) {
        settings.appToUse = LStr(c.app.c_str());
        settings.appOptFormat = LStr(c.format.c_str());
        EXPECT_EQ(describe(planHitOpening(c.line, c.base, settings)), c.expected) << c.line;
    }
}
