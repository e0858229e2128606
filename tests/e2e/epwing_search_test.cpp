// A dictionary body (HONMON) is converted once under the index folder and
// searched through that text, one record per entry, with and without the
// index; result lines name the body itself.
#include <gtest/gtest.h>

#include "common/epwing_book.h"
#include "common/temp_dir.h"
#include "e2e/search_fixture.h"
#include "platform/file_system.h"

using namespace e2e;

namespace {

std::string fixtureBook() {
    using namespace epwbook;
    Book book;
    book.addSection(0x02, jis(sj("著作権　見本社")));
    std::string body;
    for (const char* text : {"りんご　赤い果物", "みかん　橙色の果物", "ぶどう　紫の果物"})
        body += entry(sj(text)) + control(0x0A) + jis(sj("（季語）"));
    book.addSection(0x00, body);
    return book.bytes();
}

QfResult searchBook(const TempDir& dir, const std::string& word, bool index,
                    const std::vector<std::string>& env = {}) {
    std::vector<std::string> args = {"--raw",
                                     "--no-config",
                                     "--quiet",
                                     "-r",
                                     "--files=HONMON",
                                     "--set",
                                     "ixfDir=" + dir.path("ix"),
                                     word,
                                     dir.path("dict")};
    if (index) args.insert(args.begin(), "--index");
    std::vector<std::string> environment = {"XDG_CACHE_HOME=" + cacheHome().path(),
                                            "XDG_CONFIG_HOME=" + dir.path("config")};
    environment.insert(environment.end(), env.begin(), env.end());
    return runQf(args, environment);
}

uint64_t writeTime(const std::string& path) {
    uint64_t time = 0;
    fsWriteTime(path, time);
    return time;
}

TEST(EpwingSearch, EachEntryIsARecordNamedByTheBody) {
    TempDir dir;
    const std::string body = dir.write("dict/DATA/HONMON", fixtureBook());
    const std::string text = dir.path("ix/x_") + body + ".txt";

    const QfResult plain = searchBook(dir, "果物", false);
    ASSERT_EQ(plain.exitCode, 0) << plain.err << dir.read(text.substr(dir.path().size() + 1));
    // The display replacement puts a line break before each record and
    // drops the separator; line numbers count in the converted text.
    const std::string lines =
        resultLine("DATA/HONMON(17)", "\r\n" + sj("みかん　橙色の") + hit(sj("果物")) + "\r\n" +
                                          sj("（季語）") + "\r\n");
    EXPECT_NE(plain.out.find(lines), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find(summary(3, 1, 1)), std::string::npos) << plain.out;
    EXPECT_EQ(plain.out.find("HONMON.txt"), std::string::npos);
    EXPECT_EQ(dir.read("ix/x_" + body + ".txt").substr(0, 16), "QF  0003   EPW\r\n");

    const uint64_t converted = writeTime(text);
    for (int run = 0; run < 2; ++run) {  // building the index, then reusing it
        const QfResult indexed = searchBook(dir, "果物", true);
        EXPECT_TRUE(indexed.out == plain.out) << run << indexed.out;
    }
    EXPECT_EQ(writeTime(text), converted) << "converted again";
}

// A settings file in the user's folder that matches the copyright steers
// the conversion.
TEST(EpwingSearch, SettingsFileAppliesByCopyright) {
    TempDir dir;
    dir.write("dict/HONMON", fixtureBook());
    dir.write("config/VeloSoft/EpwingSettings/book.txt", "COPYR\t" + sj("見本社") +
                                                             "\r\nTAGLEV\t1\r\nREP\t" + sj("果物") +
                                                             "\t" + sj("くだもの") + "\r\n");
    const QfResult result = searchBook(dir, "くだもの", false);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("<KEY>" + sj("ぶどう")), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(summary(3, 1, 1)), std::string::npos) << result.out;
    const std::string textPath = "ix/x_" + dir.path("dict/HONMON") + ".txt";
    const std::string settings = dir.path("config/VeloSoft/EpwingSettings/book.txt");
    EXPECT_NE(dir.read(textPath).find("DSF\t" + settings + "\r\n"), std::string::npos);
}

// A changed settings file converts the text again, and the index follows
// the new text although the body did not change: here every entry moves
// by more than a block.
TEST(EpwingSearch, IndexFollowsATextConvertedAgain) {
    using namespace epwbook;
    Book book;
    book.addSection(0x02, jis(sj("見本社")));
    std::string body;
    for (int i = 0; i < 40; ++i) body += entry(sj(i == 30 ? "季語の項目" : "ほかの項目"));
    book.addSection(0x00, body);
    TempDir dir;
    dir.write("dict/HONMON", book.bytes());
    const std::string settings = "config/VeloSoft/EpwingSettings/book.txt";
    const std::string match = "COPYR\t" + sj("見本社") + "\r\n";
    dir.write(settings, match + "DSPREP\t" + std::string(600, 'Z') + "=Z\r\n");
    searchBook(dir, "季語", true);
    dir.write(settings, match + "RECSEP\t\\n\r\n");
    const QfResult plain = searchBook(dir, "季語", false);
    EXPECT_NE(plain.out.find(summary(1, 1, 1)), std::string::npos) << plain.out;
    const QfResult indexed = searchBook(dir, "季語", true);
    EXPECT_TRUE(indexed.out == plain.out) << indexed.out;
}

}  // namespace
