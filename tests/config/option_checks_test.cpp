// The options dialog's checks: what is refused with which message, what is
// asked, and what is stored.
#include "config/option_checks.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "config/app_settings.h"
#include "support/message_service.h"

namespace {

// The dialog's state; as its user it records what it was told and asked,
// and answers with `answer`.
struct Fixture : OptionDialogUser {
    Fixture() {
        settings.ixfDir = "/old/ix/";
        settings.tabSizes2 = {4, 8};
        texts = optionTextsOf(settings);
        hooks.deleteAllIndexes = [this](std::string_view folder) { deleted.emplace_back(folder); };
        hooks.checkReplacements =
            hooks.checkSearchArea = [](std::string_view t) { return t != "bad"; };
    }
    void tell(std::string_view message) override { told.emplace_back(message); }
    bool ask(std::string_view question) override { return asked.emplace_back(question), answer; }
    bool ok() { return storeOptionTexts(settings, texts, messagesAtOpen, *this, hooks); }

    AppSettings settings;
    OptionTexts texts;
    bool answer = true;
    std::vector<std::string> told, asked;
    OptionHooks hooks;
    std::vector<std::string> deleted;
    int messagesAtOpen = threadDefectCount();
};

}  // namespace

TEST(OptionChecks, RefusalsAndTheirBoundaries) {
    struct Case {
        const char* what;
        void (*change)(Fixture&);
        bool accepted;
        size_t told;  // messages shown
    } cases[] = {
        {"nothing changed", [](Fixture&) {}, true, 0},
        {"rate 60", [](Fixture& f) { f.settings.minRate = 60; }, true, 0},
        {"message while open", [](Fixture&) { report(kMsgWarning, "went wrong"); }, false, 0},
        {"empty record separator", [](Fixture& f) { f.texts.recSeparEsc = ""; }, false, 1},
        {"rate 59", [](Fixture& f) { f.settings.minRate = 59; }, false, 1},
        {"bad tab sizes", [](Fixture& f) { f.texts.tabSizes = "4,x"; }, false, 0},
        {"bad replacements", [](Fixture& f) { f.texts.dspPreReplace = "bad"; }, false, 0},
        {"bad search area", [](Fixture& f) { f.texts.schAreaInRec = "bad"; }, false, 0},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        Fixture f;
        c.change(f);
        EXPECT_EQ(f.ok(), c.accepted) << c.what;
        EXPECT_EQ(f.told.size(), c.told) << c.what;
        EXPECT_TRUE(f.asked.empty()) << c.what;
        EXPECT_EQ(f.settings.tabSizes2, (IntList{4, 8})) << c.what;
    }
    Fixture f;
    checkMinRate(kLowestMinRate - 1, f);
    EXPECT_NE(f.told.at(0).find(" 60 "), std::string::npos) << "the lowest rate is named";
}

// A changed record separator invalidates every index file: a yes deletes
// them and stores it, a no refuses. A changed index folder is stored either
// way, and a yes cleans the old folder, not the new one.
TEST(OptionChecks, ChangedSeparatorOrIndexFolderAsksFirst) {
    struct Case {
        bool separator;  // else the index folder changes
        bool yes;
        bool accepted;
    } cases[] = {
        {true, true, true}, {true, false, false}, {false, true, true}, {false, false, true}};
    for (const Case& c : cases) {
        Fixture f;
        f.answer = c.yes;
        (c.separator ? f.texts.recSeparEsc : f.texts.ixfDir) = c.separator ? "\\n\\n" : "/new/ix/";
        EXPECT_EQ(f.ok(), c.accepted) << c.separator << c.yes;
        EXPECT_EQ(f.asked.size(), 1u);
        const bool stored =
            c.separator ? f.settings.recSeparEsc == "\\n\\n" : f.settings.ixfDir == "/new/ix/";
        EXPECT_EQ(stored, c.accepted) << c.separator << c.yes;
        EXPECT_EQ(f.deleted, std::vector<std::string>(c.yes, "/old/ix/")) << c.separator << c.yes;
    }
}

TEST(OptionChecks, StoresInOrderAndKeepsEarlierStoresOnALaterRefusal) {
    CaptureSink sink;
    Fixture f;
    f.texts.tabSizes = " 2, 6";
    f.texts.nonTextExt = "odt; ods";
    f.texts.dspFontSpec = "(?<F0>x)";
    f.texts.dspDupReplace = "bad";
    EXPECT_FALSE(f.ok());
    EXPECT_EQ(f.settings.tabSizes2, (IntList{2, 6}));
    EXPECT_EQ(f.settings.nonTextExtList, (LStrList{"odt", "ods"}));
    EXPECT_EQ(f.settings.dspFontSpec, "(?<F0>x)");
    EXPECT_EQ(f.settings.dspDupReplace, "") << "refused text is not stored";

    f.hooks.checkReplacements = nullptr;
    f.texts.schAreaInRec = "^Title:";
    EXPECT_TRUE(f.ok());
    EXPECT_EQ(f.settings.dspDupReplace, "bad");
    EXPECT_EQ(f.settings.schAreaInRec, "^Title:");
}
