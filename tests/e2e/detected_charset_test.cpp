// qf over files without a byte-order mark: EUC-JP and UTF-8 texts are found
// by their decoded words while detection is on, and read as bytes when off.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

TEST(QfDetectedCharset, DetectionDecidesWhatASearchSees) {
    TempDir dir;
    dir.write("euc/e.txt",
              systemConverted("地図\n東京都の地図です。\n", Charset::kUtf8, Charset::kEucJp));
    // Decoding shortens every line, so an index built from decoded text
    // would point a raw read at the wrong bytes.
    const std::string utf8 =
        dir.write("utf8/u.txt", repeated("日本語のテキスト x\n", 20) + "abc\n");
    // Old enough for its index entry to be trusted.
    std::filesystem::last_write_time(
        utf8, std::filesystem::last_write_time(utf8) - std::chrono::hours(1));
    const std::string off = "autoDetectCharset=0";
    struct {
        std::vector<std::string> args;  // then the folder
        const char* folder;
        std::string s;      // Shift-JIS, as shown
        std::string lines;  // empty: nothing found
    } cases[] = {
        {{"東京"},
         "euc",
         sj("東京"),
         resultLine("e.txt(2)", hit(sj("東京")) + sj("都の地図です。\n"))},
        {{"--set", off, "東京"}, "euc", sj("東京"), ""},
        {{"--index", "abc"}, "utf8", "abc", resultLine("u.txt(21)", hit("abc") + "\n")},
        // The index of the decoded text must not serve the raw one.
        {{"--set", off, "--index", "abc"},
         "utf8",
         "abc",
         resultLine("u.txt(21)", hit("abc") + "\n")},
    };
    for (const auto& c : cases) {
        QfResult r = search(c.args, dir.path(c.folder));
        const int hits = c.lines.empty() ? 0 : 1;
        EXPECT_EQ(r.out, page(dir.path(c.folder), c.s, c.lines, summary(hits, hits, 1))) << c.s;
        EXPECT_EQ(r.exitCode, 1 - hits) << c.s;
    }
}

// A UTF-8 text, with or without its mark, shows the lines of a search as its
// Shift-JIS copy does, though only the lines that can match are decoded.
TEST(QfDetectedCharset, Utf8TextsShowWhatTheirShiftJisCopyShows) {
    TempDir dir;
    const std::string text = repeated("前の行\r\n", 30) + "東京\r\n\r\n\n大阪と東京\n" +
                             repeated("後\n", 3) + "京都 東京";
    dir.write("sjis/a.txt", sj(text));
    dir.write("utf8/a.txt", text);
    dir.write("marked/a.txt", "\xEF\xBB\xBF" + text);
    const auto output = [&](const char* folder, std::vector<std::string> args) {
        args.push_back("東京");
        std::string out = search(args, dir.path(folder)).out;
        for (size_t at; (at = out.find(dir.path(folder))) != out.npos;)
            out.replace(at, dir.path(folder).size(), "DIR");
        return out;
    };
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"--count"}, {"--type=regex"}}) {
        const std::string expected = output("sjis", args);
        EXPECT_NE(expected.find(args.empty() ? "a.txt(34)" : "a.txt"), std::string::npos);
        EXPECT_EQ(output("utf8", args), expected);
        EXPECT_EQ(output("marked", args), expected);
    }
}

}  // namespace
