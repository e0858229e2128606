// qf --raw end to end: where a result line ends, and search strings whose
// compilation reports a defect.
#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

TEST(ResultLineEnd, TheRecordsOwnTextDecidesTheLineEnd) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> options;
        std::string search;
        std::string line;  // the one result line
    } cases[] = {
        {"hit covers CR LF",
         "abc\r\nz\r\n",
         {"-t", "regex"},
         "abc\\x0d\\x0a",
         resultLine("a.txt(1)", hit("abc\r\n"))},
        {"hit covers LF",
         "abc\nz\n",
         {"-t", "regex"},
         "abc\\x0a",
         resultLine("a.txt(1)", hit("abc\n"))},
        {"last record without line end",
         "z\r\nabc",
         {},
         "abc",
         resultLine("a.txt(2)", hit("abc")) + "\r\n"},
        {"separator that is no line end",
         "abc;z",
         {"--set", "recSeparEsc=;"},
         "abc",
         resultLine("a.txt(1)", hit("abc") + ";") + "\r\n"},
        {"line end outside the search area",
         "abc\r\n",
         {"--set", "schAreaInRec=^![abc!]"},
         "abc",
         resultLine("a.txt(1)", hit("abc") + "\r\n")},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.write("a.txt", c.text);
        std::vector<std::string> args = c.options;
        args.push_back(c.search);
        args.push_back(dir.path());
        QfResult r = search(args);
        EXPECT_EQ(r.exitCode, 0) << c.name << ": " << r.err;
        EXPECT_EQ(r.out, folderLine(dir.path()) + stringLine(c.search) + c.line + summary(1, 1, 1))
            << c.name;
    }
}

TEST(DefectivePattern, QfRefusesToSearchAndExitsTwo) {
    struct Case {
        std::vector<std::string> options;
        std::string search;
        bool refused;
    } cases[] = {
        {{"-t", "regex"}, "(", true},       // illegal expression
        {{"-t", "regex"}, "a{2,1}", true},  // a warning is a defect too
        {{"-t", "regex"}, "a.*b", false},
        {{}, "(", false},  // a normal search string is literal text
    };
    TempDir dir;
    dir.write("a.txt", "a(b)\n");
    for (const Case& c : cases) {
        std::vector<std::string> args = c.options;
        args.push_back(c.search);
        args.push_back(dir.path());
        QfResult r = search(args);
        if (c.refused) {
            EXPECT_EQ(r.exitCode, 2) << c.search;
            EXPECT_EQ(r.out, "") << c.search;
            EXPECT_NE(r.err.find("qf: #3500"), std::string::npos) << c.search << ": " << r.err;
        } else {
            EXPECT_EQ(r.exitCode, 0) << c.search << ": " << r.err;
        }
    }
}

}  // namespace
