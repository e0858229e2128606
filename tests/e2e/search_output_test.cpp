// qf --raw end to end: the exact bytes of headings, result lines, messages
// and the summary for the display settings of a search.
#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

class SearchOutput : public ::testing::Test {
protected:
    // A search for abc over the temporary folder.
    QfResult run(std::vector<std::string> options) const {
        options.push_back("abc");
        return search(options, dir.path());
    }
    TempDir dir;
};

TEST_F(SearchOutput, RecordsKeepTheirBytesAndEveryHitIsMarked) {
    // The blank line belongs to the separator that ends line 2.
    struct Case {
        std::vector<std::pair<std::string, std::string>> files;
        const char* s;      // UTF-8, as typed
        std::string lines;  // between the headings and the summary
        std::string total;
    } cases[] = {
        {{{"a.txt", "alpha\r\nfind abc here\r\n\r\nabc and abc\r\n"}},
         "abc",
         resultLine("a.txt(2)", "find " + hit("abc") + " here\r\n\r\n") +
             resultLine("a.txt(4)", hit("abc") + " and " + hit("abc") + "\r\n"),
         summary(3, 1, 1)},
        {{{"a.txt", "nothing to see\r\n"}, {"empty.txt", ""}}, "abc", "", summary(0, 0, 2)},
        {{{"日本語.txt", sj("一行目\n東京都の地図\n京都と東京\n")}},  // names on disk are UTF-8
         "東京",
         resultLine(sj("日本語.txt(2)"), hit(sj("東京")) + sj("都の地図\n")) +
             resultLine(sj("日本語.txt(3)"), sj("京都と") + hit(sj("東京")) + "\n"),
         summary(2, 1, 1)},
        {{{"a.txt", "first abc\nlast abc"}, {"b.txt", "abc"}},
         "abc",
         resultLine("a.txt(1)", "first " + hit("abc") + "\n") +
             resultLine("a.txt(2)", "last " + hit("abc")) + "\r\n" +
             resultLine("b.txt(1)", hit("abc")) + "\r\n",
         summary(3, 2, 2)},
        {{{"bin.txt", std::string("\x00\x01\x02 abc \xff\x00\n", 11)}},
         "abc",
         resultLine("bin.txt(1)",
                    std::string("\x00\x01\x02 ", 4) + hit("abc") + std::string(" \xff\x00\n", 4)),
         summary(1, 1, 1)},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string folder = "case" + std::to_string(++n);
        for (const auto& [name, bytes] : c.files) dir.write(folder + "/" + name, bytes);
        QfResult r = search({c.s}, dir.path(folder));
        EXPECT_EQ(r.exitCode, c.lines.empty() ? 1 : 0) << c.s << n;
        EXPECT_EQ(r.out, page(dir.path(folder), sj(c.s), c.lines, c.total)) << c.s << n;
    }
}

TEST_F(SearchOutput, CountOnlyListsFullPathsInsteadOfRecords) {
    dir.write("a.txt", "abc abc\nabc\n");
    dir.write("b.txt", "none\n");
    dir.write("c.txt", "abc\n");
    EXPECT_EQ(run({"--count"}).out,
              page(dir.path(), "abc",
                   "   3    " + dir.path("a.txt") + "\n   1    " + dir.path("c.txt") + "\n",
                   summary(4, 2, 3)));
}

TEST_F(SearchOutput, DisplaySettingsChangeOnlyTheShownRecord) {
    // 25000 bytes on one line are cut into records of 10000; the hit lies in the second.
    const std::string x = std::string(5000, 'x');
    struct Case {
        std::string text;
        std::vector<std::string> options;
        std::string lines;
        std::string total = summary(1, 1, 1);
        const char* err = "";  // a part of stderr
    } cases[] = {
        // "\n" stands for CR LF.
        {"abc\n",
         {"--set", "dspSeparEsc=----\\n"},
         resultLine("----\r\na.txt(1)", hit("abc") + "\n"),
         summary(1, 1, 1, "----\r\n")},
        // The bad second pair stops the list: the third is never used.
        {"x abc y\n",
         {"--set", "dspPreReplace=x=X!r!nnoequals!r!ny=Y"},
         resultLine("a.txt(1)", "X " + hit("abc") + " y\n"),
         summary(1, 1, 1),
         "missing '=' in 'noequals'"},
        // The digits of the hit markers are no numbers of the record.
        {"abc 12 and 345\n",
         {"--set", "dspFontSpec=![[0-9]+!]{=F1}"},
         resultLine("a.txt(1)", hit("abc") + " " + marker(8) + "12" + marker(0) + " and " +
                                    marker(8) + "345" + marker(0) + "\n")},
        {"one abc\n", {"--sort-by-rate"}, resultLine("a.txt(1)", "one " + hit("abc") + "\n", "\t")},
        // Field titles come from the first record.
        {"name\tcity\r\nbob\tabc\r\n",
         {"--set", "dspFieldTitle=1"},
         resultLine("a.txt(2)", "\n  name\tbob\t\n  city\t" + hit("abc") + "\r\n")},
        // The key drops the digits, so all three records share it.
        {"abc 1\nabc 2\nabc 1\n",
         {"--set", "dspSuprDup=1", "--set", "dspDupReplace=[0-9]="},
         resultLine("a.txt(1)", hit("abc") + " 1\n")},
        {"head\n" + x + x + x + "abc" + x + std::string(4997, 'x') + "\n",
         {},
         resultLine("a.txt(2)", x + hit("abc") + std::string(4997, 'x')) + "\r\n"},
    };
    for (const Case& c : cases) {
        dir.write("a.txt", c.text);
        QfResult r = run(c.options);
        EXPECT_EQ(r.out, page(dir.path(), "abc", c.lines, c.total)) << c.text;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
}

TEST_F(SearchOutput, SameRecordRulesShowRepeatsByFile) {
    dir.write("a.txt", "abc\nabc\n");
    dir.write("b.txt", "abc\n");
    const std::string a1 = resultLine("a.txt(1)", hit("abc") + "\n"),
                      a2 = resultLine("a.txt(2)", hit("abc") + "\n"),
                      b1 = resultLine("b.txt(1)", hit("abc") + "\n");
    // Records not shown are still counted.
    for (auto [setting, lines] : {std::pair{"ignoreSameRec=0", a1 + a2 + b1},
                                  {"ignoreSameRec=1", a1 + b1},
                                  {"ignoreSameRec=2", a1}})
        EXPECT_EQ(run({"--set", setting}).out, page(dir.path(), "abc", lines, summary(3, 2, 2)))
            << setting;
}

}  // namespace
