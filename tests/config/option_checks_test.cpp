// The options dialog's checks: what is refused with which message, what is
// asked, and what is stored.
#include "config/option_checks.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "config/app_settings.h"
#include "support/message_service.h"

namespace {

// Records what the dialog was told and asked; answers with `answer`.
class ScriptedUser : public OptionDialogUser {
public:
    void tell(std::string_view message) override { told.emplace_back(message); }
    bool ask(std::string_view question) override {
        asked.emplace_back(question);
        return answer;
    }
    bool answer = true;
    std::vector<std::string> told;
    std::vector<std::string> asked;
};

struct Fixture {
    Fixture() {
        settings.ixfDir = "/old/ix/";
        settings.tabSizes2 = {4, 8};
        texts = optionTextsOf(settings);
        hooks.deleteAllIndexes = [this](std::string_view folder) { deleted.emplace_back(folder); };
    }
    bool ok() { return storeOptionTexts(settings, texts, messagesAtOpen, user, hooks); }

    AppSettings settings;
    OptionTexts texts;
    ScriptedUser user;
    OptionHooks hooks;
    std::vector<std::string> deleted;
    int messagesAtOpen = errorAndWarningCount();
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
        {"message reported while open", [](Fixture&) { report(kMsgWarning, "went wrong"); }, false,
         0},
        {"empty record separator", [](Fixture& f) { f.texts.recSeparEsc = ""; }, false, 1},
        {"rate 59", [](Fixture& f) { f.settings.minRate = 59; }, false, 1},
        {"bad tab sizes", [](Fixture& f) { f.texts.tabSizes = "4,x"; }, false, 0},
        {"replacements refused",
         [](Fixture& f) {
             f.texts.dspPreReplace = "no equals sign";
             f.hooks.checkReplacements = [](std::string_view) { return false; };
         },
         false, 0},
        {"search area refused",
         [](Fixture& f) {
             f.texts.schAreaInRec = "(";
             f.hooks.checkSearchArea = [](std::string_view) { return false; };
         },
         false, 0},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        Fixture f;
        c.change(f);
        EXPECT_EQ(f.ok(), c.accepted) << c.what;
        EXPECT_EQ(f.user.told.size(), c.told) << c.what;
        EXPECT_TRUE(f.user.asked.empty()) << c.what;
        if (c.accepted) {
            EXPECT_EQ(f.settings.tabSizes2, (IntList{4, 8})) << c.what;
        }
    }
    ScriptedUser user;
    checkMinRate(kLowestMinRate - 1, user);
    EXPECT_NE(user.told.at(0).find(" 60 "), std::string::npos) << "the lowest rate is named";
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
        f.user.answer = c.yes;
        (c.separator ? f.texts.recSeparEsc : f.texts.ixfDir) = c.separator ? "\\n\\n" : "/new/ix/";
        EXPECT_EQ(f.ok(), c.accepted) << c.separator << c.yes;
        EXPECT_EQ(f.user.asked.size(), 1u);
        const bool stored =
            c.separator ? f.settings.recSeparEsc == "\\n\\n" : f.settings.ixfDir == "/new/ix/";
        EXPECT_EQ(stored, c.accepted) << c.separator << c.yes;
        EXPECT_EQ(f.deleted,
                  c.yes ? std::vector<std::string>{"/old/ix/"} : std::vector<std::string>{})
            << c.separator << c.yes;
    }
}

TEST(OptionChecks, StoresInOrderAndKeepsEarlierStoresOnALaterRefusal) {
    CaptureSink sink;
    Fixture f;
    f.texts.tabSizes = " 2, 6";
    f.texts.nonTextExt = "odt; ods";
    f.texts.dspFontSpec = "(?<F0>x)";
    f.texts.dspDupReplace = "a=b";
    f.hooks.checkReplacements = [](std::string_view text) { return text != "a=b"; };
    EXPECT_FALSE(f.ok());
    EXPECT_EQ(f.settings.tabSizes2, (IntList{2, 6}));
    EXPECT_EQ(f.settings.nonTextExtList, (LStrList{"odt", "ods"}));
    EXPECT_EQ(f.settings.dspFontSpec, "(?<F0>x)");
    EXPECT_EQ(f.settings.dspDupReplace, "") << "refused text is not stored";

    f.hooks.checkReplacements = nullptr;
    f.texts.schAreaInRec = "^Title:";
    EXPECT_TRUE(f.ok());
    EXPECT_EQ(f.settings.dspDupReplace, "a=b");
    EXPECT_EQ(f.settings.schAreaInRec, "^Title:");
}
