// The command line: splitting, option matching and the reports of arguments
// no option takes.
#include "config/command_line.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "config/app_settings.h"

namespace {
using Args = std::vector<LStr>;
}

TEST(CommandLine, Splitting) {
    struct Case {
        const char* line;
        Args args;
    } cases[] = {{"  \t ", {}},
                 {"a b\tc", {"a", "b", "c"}},
                 {"-cf:\"/my docs/q.cfg\" x", {"-cf:/my docs/q.cfg", "x"}},
                 {"\"a \"\"quoted\"\" word\"", {"a \"quoted\" word"}},
                 {"\"\"", {""}},
                 {"\"open to the end", {"open to the end"}},
                 {"\"\x95\x5C \x83\x5C\"", {"\x95\x5C \x83\x5C"}},
                 {"\001a\037b", {"a", "b"}}};
    for (const auto& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.args) << c.line;
}

TEST(CommandLine, OptionMatching) {
    struct Case {
        const char* arg;
        const char* path;  // configPath afterwards; "old": refused
    } cases[] = {{"-cf:/x/my.cfg", "/x/my.cfg"},
                 {"/CF:/x/my.cfg", "/x/my.cfg"},
                 {"-cf", ""},
                 {"--cf=/x/gnu.cfg", "/x/gnu.cfg"},
                 {"--cf", ""},
                 {"-cf:a:b", "a:b"},
                 {"-cfg:x", "old"},
                 {"--cf:x", "old"},
                 {"cf:x", "old"}};
    for (const auto& c : cases) {
        AppSettings s;
        s.configPath = "old";
        OptionTable table = makeOptionTable(s);
        EXPECT_EQ(offerArgument(table, c.arg), std::string_view(c.path) != "old") << c.arg;
        EXPECT_EQ(s.configPath, c.path) << c.arg;
    }
}

TEST(CommandLine, ScanReportsWhatNoOptionTakes) {
    CaptureSink sink;
    AppSettings s;
    scanCommandLine("-cf:/a.cfg -cfg:x readme.txt /cf:/b.cfg", s);
    EXPECT_EQ(s.configPath, "/b.cfg") << "a later -cf overrides an earlier one";
    EXPECT_EQ(numberedTexts(sink),
              (Texts{"10000 illegal option: '-cfg:x'", "10000 illegal parameter: 'readme.txt'"}));

    const char* argv[] = {"quillfind", "-cf:/\xE8\xA1\xA8.cfg"};  // 表 in UTF-8, to Shift-JIS
    scanCommandLine(2, argv, s);
    EXPECT_EQ(sink.messages().size(), 2u) << sink.allText();
    EXPECT_EQ(s.configPath, "/\x95\x5C.cfg");
}
