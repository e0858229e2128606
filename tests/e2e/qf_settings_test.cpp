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
    QfResult run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--raw", "-q"});
        return runQf(args);
    }
    TempDir dir;
};

TEST_F(QfSettings, ConfigurationFileSuppliesTheMasksAndOptionsOverrideIt) {
    const std::string cfg = dir.write("q.cfg", "schFile=*.log\r\nschICaseF=0\r\n");
    EXPECT_EQ(run({"--cf=" + cfg, "ABC", data()}).exitCode, 1) << "case is respected";
    EXPECT_EQ(run({"--cf=" + cfg, "-i", "ABC", data()}).out,
              folderLine(data()) + stringLine("ABC") +
                  resultLine("b.log(1)", hit("abc") + " in log\n") + summary(1, 1, 1));
    QfResult r = run({"--cf=" + cfg, "-i", "--files=*.txt", "ABC", data()});
    EXPECT_NE(r.out.find(resultLine("a.txt(1)", hit("abc") + " in text\n")), std::string::npos);
}

TEST_F(QfSettings, UsageErrorsExitWithTwo) {
    struct Case {
        std::vector<std::string> args;  // then abc and the folder, unless empty
        const char* err;                // expected on stderr
    } cases[] = {
        {{"--no-config", "", data()}, "search string"},
        {{}, "a search string and at least one folder"},
        {{"--no-config", "--set", "noSuchKey=1"}, "--set(1): #15001: unknown name 'noSuchKey'"},
        {{"--cf=" + dir.path("missing.cfg")}, "missing.cfg"},
        {{"--type=fast"}, "--type"},
        {{"--min-rate=59"}, "--min-rate: "},
        {{"--min-rate=101"}, "--min-rate"},
        {{"--raw=yes"}, "--raw"},
    };
    for (Case& c : cases) {
        if (!c.args.empty() && c.args.back() != data())
            c.args.insert(c.args.end(), {"abc", data()});
        QfResult r = c.args.empty() ? runQf({}) : run(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.err;
    }
}

TEST_F(QfSettings, PatternOptionsTakeThePatternAsTyped) {
    dir.write("data/s.txt", "One. Two? Three! Four\nx,abc,y\tabc\n");
    struct Case {
        std::vector<std::string> options;  // then the search string
        std::string line;
    } cases[] = {
        {{"--record-separator=[.?!][ \\n]", "Three"},
         resultLine("s.txt(1)", hit("Three") + "! ") + "\r\n"},
        {{"--field-separator=,", "--field-match", "abc"},
         resultLine("s.txt(2)", "x," + hit("abc") + ",y\tabc\n")},
        {{"--search-area=\\t(.*)", "abc"}, resultLine("s.txt(2)", "x,abc,y\t" + hit("abc") + "\n")},
    };
    for (Case& c : cases) {
        const std::string s = c.options.back();
        c.options.insert(c.options.begin(), {"--no-config", "--files=s.txt"});
        c.options.push_back(data());
        QfResult r = run(c.options);
        EXPECT_EQ(r.out, folderLine(data()) + stringLine(s) + c.line + summary(1, 1, 1)) << c.line;
        EXPECT_EQ(r.err, "") << c.line;
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
        {"schStrs=(a,b)", ""},
    };
    for (const Case& c : cases) {
        QfResult r = run({"--no-config", "--set", c.set, "abc", data()});
        EXPECT_NE(r.exitCode, 2) << c.set << ": a warning is no error";
        EXPECT_TRUE(*c.warning ? r.err.find(c.warning) != std::string::npos : r.err.empty())
            << c.set << "\n"
            << r.err;
    }
}

}  // namespace
