// Where qf's settings come from: the configuration file, --set lines and the
// options, and the usage errors among them.
#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

class QfSettings : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("data/a.txt", "abc in text\n");
        dir.write("data/b.log", "abc in log\n");
    }
    std::string data() const { return dir.path("data"); }
    TempDir dir;
};

TEST_F(QfSettings, ConfigurationFileSuppliesTheMasksAndOptionsOverrideIt) {
    const std::string cfg = dir.write("q.cfg", "schFile=*.log\r\nschICaseF=0\r\n");
    QfResult r = runQf({"--raw", "-q", "--cf=" + cfg, "ABC", data()});
    EXPECT_EQ(r.exitCode, 1) << "case is respected: " << r.out;
    r = runQf({"--raw", "-q", "--cf=" + cfg, "-i", "ABC", data()});
    EXPECT_EQ(r.out, folderLine(data()) + stringLine("ABC") +
                         resultLine("b.log(1)", hit("abc") + " in log\n") + summary(1, 1, 1));
    r = runQf({"--raw", "-q", "--cf=" + cfg, "-i", "--files=*.txt", "ABC", data()});
    EXPECT_NE(r.out.find(resultLine("a.txt(1)", hit("abc") + " in text\n")), std::string::npos);
}

TEST_F(QfSettings, UsageErrorsExitWithTwo) {
    struct Case {
        std::vector<std::string> args;
        const char* err;  // expected on stderr
    } cases[] = {
        {{"--raw", "-q", "--no-config", "", data()}, "search string"},
        {{}, "a search string and at least one folder"},
        {{"--raw", "-q", "--no-config", "--set", "noSuchKey=1", "abc", data()},
         "--set(1): #15001: unknown name 'noSuchKey'"},
        {{"--raw", "-q", "--cf=" + dir.path("missing.cfg"), "abc", data()}, "missing.cfg"},
        {{"--raw", "-q", "--type=fast", "abc", data()}, "--type"},
        {{"--raw", "-q", "--min-rate=59", "abc", data()}, "--min-rate: "},
        {{"--raw", "-q", "--min-rate=-5", "abc", data()}, "--min-rate: "},
        {{"--raw", "-q", "--min-rate=101", "abc", data()}, "--min-rate"},
        {{"--raw", "-q", "--min-rate=abc", "abc", data()}, "--min-rate"},
        {{"--raw", "-q", "--min-rate=", "abc", data()}, "--min-rate"},
        {{"--raw=yes", "abc", data()}, "--raw"},
    };
    for (const Case& c : cases) {
        QfResult r = runQf(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.err;
    }
}

TEST_F(QfSettings, PatternOptionsTakeThePatternAsTyped) {
    dir.write("data/s.txt", "One. Two? Three! Four\nx,abc,y\tabc\n");
    struct Case {
        std::vector<std::string> options;
        const char* s;
        std::string line;
    } cases[] = {
        {{"--record-separator=[.?!][ \\n]"},
         "Three",
         resultLine("s.txt(1)", hit("Three") + "! ") + "\r\n"},
        {{"--field-separator=,", "--field-match"},
         "abc",
         resultLine("s.txt(2)", "x," + hit("abc") + ",y\tabc\n")},
        {{"--search-area=\\t(.*)"}, "abc", resultLine("s.txt(2)", "x,abc,y\t" + hit("abc") + "\n")},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"--raw", "-q", "--no-config", "--files=s.txt"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {c.s, data()});
        QfResult r = runQf(args);
        EXPECT_EQ(r.out, folderLine(data()) + stringLine(c.s) + c.line + summary(1, 1, 1))
            << c.options[0];
        EXPECT_EQ(r.err, "") << c.options[0];
    }
}

TEST_F(QfSettings, SetValuesThatDoNotReadBackAsTypedAreWarnedAbout) {
    struct Case {
        const char* set;
        const char* warning;  // "" for none
    } cases[] = {
        {"recSeparEsc=[.?!][ \\n]", "--set recSeparEsc: the value reads back as '[.?)[ \\n]'"},
        {"minRate=abc", "--set minRate: the value reads back as '0'"},
        {"appTitle=Q![1!]", "--set appTitle: the value reads back as 'Q(1)'"},
        {"schFile=*.log!", ""},  // an unknown escape stays as typed
        {"minRate=80", ""},
        {"recSeparEsc=\\n\\n", ""},
        {"schStrs=(a,b)", ""},
    };
    for (const Case& c : cases) {
        QfResult r = runQf({"--raw", "-q", "--no-config", "--set", c.set, "abc", data()});
        EXPECT_NE(r.exitCode, 2) << c.set << ": a warning is no error";
        if (*c.warning)
            EXPECT_NE(r.err.find(c.warning), std::string::npos) << c.set << "\n" << r.err;
        else
            EXPECT_EQ(r.err, "") << c.set;
    }
}

TEST_F(QfSettings, MissingFolderIsNamedOnStandardError) {
    QfResult r = runQf({"--raw", "-q", "--no-config", "abc", dir.path("nowhere")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no such folder: " + dir.path("nowhere")), std::string::npos) << r.err;
    EXPECT_NE(r.out.find(summary(0, 0, 0)), std::string::npos);
}

TEST_F(QfSettings, JapaneseArgumentsAreConvertedToShiftJis) {
    dir.write("data/日本語.txt", sj("東京駅\n"));  // names on disk are UTF-8
    QfResult r = runQf({"--raw", "-q", "--no-config", "東京", data()});
    EXPECT_EQ(r.out, folderLine(data()) + stringLine(sj("東京")) +
                         resultLine(sj("日本語.txt(1)"), hit(sj("東京")) + sj("駅\n")) +
                         summary(1, 1, 2));
}

}  // namespace
