// The options dialog's checks: what is refused with which message, what is
// asked, and what is stored.
#include "config/option_checks.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "config/app_settings.h"
#include "support/message_service.h"

namespace {

// "レコードの区切りを指定してください"
const std::string kNoSeparator =
    "\x83\x8C\x83R\x81[\x83h\x82\xCC\x8B\xE6\x90\xD8\x82\xE8\x82\xF0\x8Ew\x92\xE8\x82\xB5\x82\xC4"
    "\x82\xAD\x82\xBE\x82\xB3\x82\xA2";
// "一致率下限値は 60 以上にしてください"
const std::string kRateBelow60 =
    "\x88\xEA\x92v\x97\xA6\x89\xBA\x8C\xC0\x92l\x82\xCD 60 \x88\xC8\x8F\xE3\x82\xC9\x82\xB5\x82\xC4"
    "\x82\xAD\x82\xBE\x82\xB3\x82\xA2";
// The two questions begin with "レコードの区切り" and "索引ファイルのフォルダ".
const std::string kSeparatorQuestion = "\x83\x8C\x83R\x81[\x83h\x82\xCC\x8B\xE6\x90\xD8\x82\xE8";
const std::string kFolderQuestion =
    "\x8D\xF5\x88\xF8\x83t\x83@\x83"
    "C\x83\x8B\x82\xCC\x83t\x83H\x83\x8B\x83_";

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

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
}

}  // namespace

TEST(OptionChecks, UnchangedTextsPassWithoutQuestions) {
    Fixture f;
    f.settings.tabSizes2 = {4, 8};
    f.texts = optionTextsOf(f.settings);
    EXPECT_EQ(f.texts.tabSizes, "4,8");
    EXPECT_TRUE(f.ok());
    EXPECT_TRUE(f.user.told.empty());
    EXPECT_TRUE(f.user.asked.empty());
    EXPECT_EQ(f.settings.tabSizes2, (IntList{4, 8}));
}

TEST(OptionChecks, RefusalsAndTheirBoundaries) {
    struct Case {
        const char* what;
        void (*change)(Fixture&);
        bool accepted;
        std::vector<std::string> told;
    } cases[] = {
        {"rate 60", [](Fixture& f) { f.settings.minRate = 60; }, true, {}},
        {"message reported while open",
         [](Fixture&) { report(kMsgWarning, "something went wrong"); },
         false,
         {}},
        {"empty record separator",
         [](Fixture& f) { f.texts.recSeparEsc = ""; },
         false,
         {kNoSeparator}},
        {"rate 59", [](Fixture& f) { f.settings.minRate = 59; }, false, {kRateBelow60}},
        {"bad tab sizes", [](Fixture& f) { f.texts.tabSizes = "4,x"; }, false, {}},
        {"replacements refused",
         [](Fixture& f) {
             f.texts.dspPreReplace = "no equals sign";
             f.hooks.checkReplacements = [](std::string_view) { return false; };
         },
         false,
         {}},
        {"search area refused",
         [](Fixture& f) {
             f.texts.schAreaInRec = "(";
             f.hooks.checkSearchArea = [](std::string_view) { return false; };
         },
         false,
         {}},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        Fixture f;
        c.change(f);
        EXPECT_EQ(f.ok(), c.accepted) << c.what;
        EXPECT_EQ(f.user.told, c.told) << c.what;
    }
}

TEST(OptionChecks, ChangedRecordSeparatorAsksAndDeletesAllIndexes) {
    for (bool yes : {true, false}) {
        Fixture f;
        f.user.answer = yes;
        f.texts.recSeparEsc = "\\n\\n";
        EXPECT_EQ(f.ok(), yes);
        ASSERT_EQ(f.user.asked.size(), 1u);
        EXPECT_TRUE(startsWith(f.user.asked[0], kSeparatorQuestion));
        EXPECT_EQ(f.settings.recSeparEsc, yes ? "\\n\\n" : "[\\x0A\\x0D]+");
        EXPECT_EQ(f.deleted,
                  yes ? std::vector<std::string>{"/old/ix/"} : std::vector<std::string>{});
    }
}

TEST(OptionChecks, ChangedIndexFolderIsStoredEitherWay) {
    for (bool yes : {true, false}) {
        Fixture f;
        f.user.answer = yes;
        f.texts.ixfDir = "/new/ix/";
        EXPECT_TRUE(f.ok());
        ASSERT_EQ(f.user.asked.size(), 1u);
        EXPECT_TRUE(startsWith(f.user.asked[0], kFolderQuestion));
        EXPECT_EQ(f.settings.ixfDir, "/new/ix/");
        EXPECT_EQ(f.deleted,
                  yes ? std::vector<std::string>{"/old/ix/"} : std::vector<std::string>{})
            << "the old folder is cleaned, not the new one";
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

TEST(OptionChecks, HistoriesAreSeededWhenEmpty) {
    AppSettings s;
    s.recSeparEscs.clear();
    s.schAreaInRecs = {"kept"};
    seedOptionHistories(s);
    EXPECT_EQ(s.recSeparEscs, (LStrList{"\\x0A", ""}));
    EXPECT_EQ(s.fldSeparEscs, (LStrList{"\\t", ""}));
    EXPECT_EQ(s.schAreaInRecs, (LStrList{"kept"}));
}
