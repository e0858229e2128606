// Opening a hit with a real program start: a stand-in editor records the
// arguments it gets, and a file name full of shell syntax must arrive as one
// argument with nothing executed.
#include "app/hit_opener.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTest>
#include <filesystem>

#include "common/temp_dir.h"
#include "common/time_factor.h"
#include "config/app_settings.h"

namespace {

// Writes each argument NUL-terminated to record, whole or not at all.
std::string editorScript(const std::string& record) {
    return "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > '" + record +
           ".part'\nmv '" + record + ".part' '" + record + "'\n";
}

}  // namespace

TEST(HitOpener, PassesThePathAsOneArgumentWithoutAShell) {
    TempDir dir;
    const std::string editor = dir.write("editor.sh", editorScript(dir.path("record")));
    std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
    const std::string file = dir.write("a b\"c;`touch pwned`;$HOME.txt", "x");

    AppSettings settings;
    settings.appToUse = LStr(editor.c_str());
    settings.appOptFormat = R"(-n<@> "--title x y")";
    const QString line = QString::fromUtf8("a b\"c;`touch pwned`;$HOME.txt(12): hit");
    const std::string base = dir.path() + "/";
    EXPECT_EQ(openHit(line, base, settings, systemHitLauncher()), QString());

    for (int i = 0; i < 100 * kTimeFactor && !dir.exists("record"); ++i) QTest::qWait(50);
    EXPECT_EQ(dir.read("record"), std::string("-n12\0--title x y\0", 17) + file + '\0');
    EXPECT_FALSE(dir.exists("pwned"));
    EXPECT_FALSE(QDir::current().exists("pwned"));
}

TEST(HitOpener, AStartFailureGivesTheMessageLine) {
    TempDir dir;
    dir.write("memo.txt", "x");
    dir.write("report.doc", "x");
    AppSettings settings;
    settings.rebuildNonTextExtList();
    settings.appToUse = "/nonexistent/editor";
    HitLauncher launcher = systemHitLauncher();
    launcher.openWithDesktop = [](const QString&) { return false; };  // no application for it
    const std::string base = dir.path() + "/";
    EXPECT_EQ(openHit("memo.txt(3): x", base, settings, launcher),
              "ShellExecute() failed with code 2");
    EXPECT_EQ(openHit("report.doc(3): x", base, settings, launcher),
              "ShellExecute() failed with code 31");
}
