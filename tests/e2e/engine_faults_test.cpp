// qf --raw end to end: where a result line ends, and search strings whose
// compilation reports a defect.
#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

TEST(ResultLineEnd, TheRecordsOwnTextDecidesTheLineEnd) {
    struct Case {
        std::string text;
        std::vector<std::string> options;  // then the search string
        std::string line;                  // the one result line
    } cases[] = {
        // A hit that covers the line end.
        {"abc\r\nz\r\n", {"-t", "regex", "abc\\x0d\\x0a"}, resultLine("a.txt(1)", hit("abc\r\n"))},
        {"abc\nz\n", {"-t", "regex", "abc\\x0a"}, resultLine("a.txt(1)", hit("abc\n"))},
        // A separator that is no line end.
        {"abc;z",
         {"--set", "recSeparEsc=;", "abc"},
         resultLine("a.txt(1)", hit("abc") + ";") + "\r\n"},
        // A line end outside the search area.
        {"abc\r\n",
         {"--set", "schAreaInRec=^![abc!]", "abc"},
         resultLine("a.txt(1)", hit("abc") + "\r\n")},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.write("a.txt", c.text);
        QfResult r = search(c.options, dir.path());
        EXPECT_EQ(r.exitCode, 0) << c.text << ": " << r.err;
        EXPECT_EQ(r.out, page(dir.path(), c.options.back(), c.line, summary(1, 1, 1))) << c.text;
    }
}

TEST(DefectivePattern, QfRefusesToSearchAndExitsTwo) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
    } cases[] = {
        {{"-t", "regex", "("}, 2},       // illegal expression
        {{"-t", "regex", "a{2,1}"}, 2},  // a warning is a defect too
        {{"-t", "regex", "a.*b"}, 0},
        {{"("}, 0},  // a normal search string is literal text
    };
    TempDir dir;
    dir.write("a.txt", "a(b)\n");
    for (const Case& c : cases) {
        QfResult r = search(c.args, dir.path());
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.back() << ": " << r.err;
        if (c.exitCode != 2) continue;
        EXPECT_EQ(r.out, "") << c.args.back();
        EXPECT_NE(r.err.find("qf: #3500"), std::string::npos) << c.args.back() << ": " << r.err;
    }
}

}  // namespace
