// Dictionary settings files: which file applies to a dictionary, the
// values and defaults read from it, and its syntax errors.
#include "epwing/epw_settings.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "common/temp_dir.h"

namespace {

struct MatchCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // relative path, text
    std::string expected;                                    // relative path, or ""
};

// Every folder holds one file, so the folders' order alone decides.
TEST(EpwSettings, FirstFileWhoseMatchLinesAllHoldApplies) {
    const MatchCase cases[] = {
        {"path matches", {{"a/x.txt", "PATH\tdict/HON\r\nADDIX\t1\r\n"}}, "a/x.txt"},
        {"copyright matches", {{"a/x.txt", "; note\r\n\r\nCOPYR\tAcme [0-9]+\r\n"}}, "a/x.txt"},
        {"first folder wins",
         {{"a/x.txt", "PATH\tdict\r\n"}, {"b/y.txt", "COPYR\tAcme\r\n"}},
         "a/x.txt"},
        {"a failed line rules the file out",
         {{"a/x.txt", "COPYR\tAcme\r\nPATH\tnowhere\r\n"}, {"b/y.txt", "PATH\tHONMON$\r\n"}},
         "b/y.txt"},
        {"no match lines, no match", {{"a/x.txt", "ADDIX\t1\r\nPATH\tdict\r\n"}}, ""},
        {"only .txt files", {{"a/x.cfg", "PATH\tdict\r\n"}}, ""},
    };
    for (const MatchCase& c : cases) {
        TempDir dir;
        for (const auto& [path, text] : c.files) dir.write(path, text);
        EpwSettings s;
        s.bodyPath = "/media/dict/HONMON";
        s.copyright = "(C) Acme 1999";
        findSettingsFile(s, {LStr(dir.path("a")), LStr(dir.path("b"))});
        const std::string expected = c.expected.empty() ? "" : dir.path(c.expected);
        EXPECT_EQ(std::string(s.settingsPath.view()), expected) << c.name;
    }
}

TEST(EpwSettings, ValuesAndDefaults) {
    const struct {
        const char* text;
        int32_t tagLevel, addIx;
        std::string keySeparator, recSeparEsc, left;
        size_t gaiji, rules;
    } cases[] = {
        {"PATH\tx\r\nRECSEP\t\\n==\\n\r\n", 0, 0, "\r\n<-->\r\n", "\\n==\\n", "\x81w", 0, 0},
        {"PATH\tx\r\ntaglev\t2\r\nAddIx\t1\r\nKEYSEP\t\\t@\\t\r\nIXL\t<<\r\n", 2, 1, "\t@\t",
         "\\n<-->\\n", "<<", 0, 0},
        {"PATH\tx\r\nGAIJI\tA121\t(c)\r\nGAIJI\tA122\t\r\nREP\ta\tb\r\nTAGLEV\t1\r\nTAGLEV\t3\r\n",
         3, 0, "\r\n<-->\r\n", "\\n<-->\\n", "\x81w", 2, 1},
    };
    for (const auto& c : cases) {
        TempDir dir;
        EpwSettings s;
        s.settingsPath = dir.write("s.txt", c.text);
        readSettings(s, 0);
        EXPECT_EQ(s.tagLevel, c.tagLevel) << c.text;
        EXPECT_EQ(s.addIx, c.addIx) << c.text;
        EXPECT_EQ(std::string(s.keySeparator.view()), c.keySeparator) << c.text;
        EXPECT_EQ(std::string(s.recSeparEsc.view()), c.recSeparEsc) << c.text;
        EXPECT_EQ(std::string(s.ixLeft.view()), c.left) << c.text;
        EXPECT_EQ(s.gaiji.size(), c.gaiji) << c.text;
        EXPECT_EQ(s.rules.size(), c.rules) << c.text;
    }
}

TEST(EpwSettings, SyntaxErrorsNameFileAndLine) {
    TempDir dir;
    EpwSettings s;
    s.settingsPath =
        dir.write("s.txt", "PATH\tx\r\nGAIJI\tA121\r\nWHAT\t1\r\nTAGLEV\r\nMAXLEN\t9\r\n");
    CaptureSink sink;
    readSettings(s, 0);
    EXPECT_EQ(s.maxLen, 9);
    ASSERT_EQ(sink.messages().size(), 3u) << sink.allText();
    const std::string file = dir.path("s.txt");
    EXPECT_EQ(sink.messages()[0].position, file + "(2)");
    EXPECT_EQ(sink.messages()[2].position, file + "(4)");
    EXPECT_NE(sink.messages()[1].text.find("WHAT\t1"), std::string::npos);
}

}  // namespace
