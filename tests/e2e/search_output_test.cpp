// qf --raw end to end: the exact bytes of headings, result lines, messages
// and the summary for the display settings of a search.
#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

class SearchOutput : public ::testing::Test {
protected:
    // The heading lines of a search for s over the temporary folder.
    std::string headings(std::string_view s) const {
        return folderLine(dir.path()) + stringLine(s);
    }
    QfResult run(std::vector<std::string> options, const std::string& s) const {
        options.push_back(s);
        options.push_back(dir.path());
        return search(options);
    }
    TempDir dir;
};

// Each case searches a folder of its own.
TEST_F(SearchOutput, RecordsKeepTheirBytesAndEveryHitIsMarked) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        const char* s;      // UTF-8, as typed
        std::string lines;  // between the headings and the summary
        std::string total;
    } cases[] = {
        // The blank line belongs to the separator that ends line 2.
        {"hit spans",
         {{"a.txt", "alpha\r\nfind abc here\r\n\r\nabc and abc\r\n"}},
         "abc",
         resultLine("a.txt(2)", "find " + hit("abc") + " here\r\n\r\n") +
             resultLine("a.txt(4)", hit("abc") + " and " + hit("abc") + "\r\n"),
         summary(3, 1, 1)},
        {"nothing found",
         {{"a.txt", "nothing to see\r\n"}, {"empty.txt", ""}},
         "abc",
         "",
         summary(0, 0, 2)},
        {"japanese",
         {{"memo.txt", sj("一行目\n東京都の地図\n京都と東京\n")}},
         "東京",
         resultLine("memo.txt(2)", hit(sj("東京")) + sj("都の地図\n")) +
             resultLine("memo.txt(3)", sj("京都と") + hit(sj("東京")) + "\n"),
         summary(2, 1, 1)},
        {"no line end at the end",
         {{"a.txt", "first abc\nlast abc"}, {"b.txt", "abc"}},
         "abc",
         resultLine("a.txt(1)", "first " + hit("abc") + "\n") +
             resultLine("a.txt(2)", "last " + hit("abc")) + "\r\n" +
             resultLine("b.txt(1)", hit("abc")) + "\r\n",
         summary(3, 2, 2)},
        {"binary bytes",
         {{"bin.txt", std::string("\x00\x01\x02 abc \xff\x00\n", 11)}},
         "abc",
         resultLine("bin.txt(1)",
                    std::string("\x00\x01\x02 ", 4) + hit("abc") + std::string(" \xff\x00\n", 4)),
         summary(1, 1, 1)},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string folder = "case" + std::to_string(++n);
        for (const auto& [name, bytes] : c.files) dir.write(folder + "/" + name, bytes);
        QfResult r = search({c.s, dir.path(folder)});
        EXPECT_EQ(r.exitCode, c.lines.empty() ? 1 : 0) << c.name;
        EXPECT_EQ(r.out, folderLine(dir.path(folder)) + stringLine(sj(c.s)) + c.lines + c.total)
            << c.name;
    }
}

TEST_F(SearchOutput, CountOnlyListsFullPathsInsteadOfRecords) {
    dir.write("a.txt", "abc abc\nabc\n");
    dir.write("b.txt", "none\n");
    dir.write("c.txt", "abc\n");
    QfResult r = run({"--count"}, "abc");
    EXPECT_EQ(r.out, headings("abc") + "   3    " + dir.path("a.txt") + "\n" + "   1    " +
                         dir.path("c.txt") + "\n" + summary(4, 2, 3));
}

// One record holding abc, shown under a display setting.
TEST_F(SearchOutput, DisplaySettingsChangeOnlyTheShownRecord) {
    struct Case {
        const char* record;
        std::vector<std::string> options;
        std::string line;  // the result line of a.txt(1)
        const char* summarySeparator = "";
        const char* err = "";  // a part of stderr
    } cases[] = {
        // "\n" stands for CR LF.
        {"abc\n",
         {"--set", "dspSeparEsc=----\\n"},
         resultLine("----\r\na.txt(1)", hit("abc") + "\n"),
         "----\r\n"},
        // The first pair applies, the bad second line stops the list, so the
        // third pair is never used.
        {"x abc y\n",
         {"--set", "dspPreReplace=x=X!r!nnoequals!r!ny=Y"},
         resultLine("a.txt(1)", "X " + hit("abc") + " y\n"),
         "",
         "missing '=' in 'noequals'"},
        {"k\tabc\tv\n",
         {"--set", "dspPreReplace=\\t=__"},
         resultLine("a.txt(1)", "k__" + hit("abc") + "__v\n")},
        // A doubled equals sign stands for one in the pattern.
        {"x a=b abc\n",
         {"--set", "dspPreReplace=a==b=EQ"},
         resultLine("a.txt(1)", "x EQ " + hit("abc") + "\n")},
        // The digits of the hit markers are no numbers of the record.
        {"abc 12 and 345\n",
         {"--set", "dspFontSpec=![[0-9]+!]{=F1}"},
         resultLine("a.txt(1)", hit("abc") + " " + marker(8) + "12" + marker(0) + " and " +
                                    marker(8) + "345" + marker(0) + "\n")},
        {"one abc\n", {"--sort-by-rate"}, resultLine("a.txt(1)", "one " + hit("abc") + "\n", "\t")},
    };
    for (const Case& c : cases) {
        dir.write("a.txt", c.record);
        QfResult r = run(c.options, "abc");
        EXPECT_EQ(r.out, headings("abc") + c.line + summary(1, 1, 1, c.summarySeparator))
            << c.record;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
}

TEST_F(SearchOutput, FieldTitlesFromTheFirstRecordPrefixEachField) {
    dir.write("a.tsv.txt", "name\tcity\r\nbob\ttokyo\r\n");
    QfResult r = run({"--set", "dspFieldTitle=1"}, "tokyo");
    EXPECT_EQ(r.out,
              headings("tokyo") +
                  resultLine("a.tsv.txt(2)", "\n  name\tbob\t\n  city\t" + hit("tokyo") + "\r\n") +
                  summary(1, 1, 1));
}

TEST_F(SearchOutput, RecordLongerThanTheLimitIsCutIntoPieces) {
    // 25000 bytes on one line: records of 10000, 10000 and the rest. The hit
    // lies in the second, which starts on line 1 as well.
    std::string line = std::string(15000, 'x') + "abc" + std::string(9997, 'x');
    dir.write("a.txt", "head\n" + line + "\n");
    QfResult r = run({}, "abc");
    EXPECT_EQ(r.out, headings("abc") +
                         resultLine("a.txt(2)",
                                    std::string(5000, 'x') + hit("abc") + std::string(4997, 'x')) +
                         "\r\n" + summary(1, 1, 1));
}

TEST_F(SearchOutput, DuplicateKeysAreShownOnceAndCountedOnce) {
    dir.write("a.txt", "abc 1\nabc 2\nabc 1\n");
    // The key drops the digits, so all three records share it.
    QfResult r = run({"--set", "dspSuprDup=1", "--set", "dspDupReplace=[0-9]="}, "abc");
    EXPECT_EQ(r.out,
              headings("abc") + resultLine("a.txt(1)", hit("abc") + " 1\n") + summary(1, 1, 1));
}

TEST_F(SearchOutput, SameRecordRulesShowRepeatsByFile) {
    dir.write("a.txt", "abc\nabc\n");
    dir.write("b.txt", "abc\n");
    struct Case {
        const char* setting;
        std::string lines;
    } cases[] = {
        {"ignoreSameRec=0", resultLine("a.txt(1)", hit("abc") + "\n") +
                                resultLine("a.txt(2)", hit("abc") + "\n") +
                                resultLine("b.txt(1)", hit("abc") + "\n")},
        {"ignoreSameRec=1",
         resultLine("a.txt(1)", hit("abc") + "\n") + resultLine("b.txt(1)", hit("abc") + "\n")},
        {"ignoreSameRec=2", resultLine("a.txt(1)", hit("abc") + "\n")},
    };
    for (const Case& c : cases) {
        QfResult r = run({"--set", c.setting}, "abc");
        // Records not shown are still counted.
        EXPECT_EQ(r.out, headings("abc") + c.lines + summary(3, 2, 2)) << c.setting;
    }
}

TEST_F(SearchOutput, SearchAreaWithTwoGroupsStopsTheSearch) {
    dir.write("a.txt", "abc\nabc\n");
    dir.write("b.txt", "abc\n");
    QfResult r = run({"--search-area=(a)(b)"}, "abc");
    EXPECT_EQ(r.exitCode, 1);
    const std::string stopped = messageLine(sj("中止しました"));
    ASSERT_NE(r.out.find(stopped), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(marker(2)), std::string::npos) << "no result line";
    EXPECT_EQ(r.out.substr(r.out.size() - stopped.size() - summary(0, 0, 1).size()),
              stopped + summary(0, 0, 1));
}

}  // namespace
