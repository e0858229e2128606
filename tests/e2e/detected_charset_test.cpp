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

}  // namespace
