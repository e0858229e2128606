// The converted text of a book: a stopped conversion leaves nothing, and
// the text is current only against the body and the settings that apply.
#include "epwing/epw_convert.h"

#include <gtest/gtest.h>

#include "common/epwing_book.h"
#include "common/temp_dir.h"
#include "epwing/epw_settings.h"
#include "support/path_utils.h"
#include "support/stop_flag.h"

using namespace epwbook;

namespace {

std::string smallBook() {
    Book book;
    book.addSection(0x02, jis("\x8C\xA9\x96\x7B"));  // 見本
    book.addSection(0x00, entry("\x8E\x9A"));        // 字
    return book.bytes();
}

TEST(EpwConvert, StoppedConversionLeavesNoText) {
    TempDir dir;
    const std::string body = dir.write("HONMON", smallBook());
    stopFlag() = 1;
    const bool written = writeEpwingText(body, dir.path("HONMON.txt"), {}, 0);
    stopFlag() = 0;
    EXPECT_FALSE(written);
    EXPECT_EQ(countDirEntries(dir.path()), 1);  // the body alone, no temporary file
}

TEST(EpwConvert, TextIsCurrentAgainstBodyAndSettings) {
    const struct {
        const char* name;
        int64_t body, text, settings;  // write times; settings 0: no file
        const char* match;             // the settings file's match line
        bool current;
    } cases[] = {
        {"newer than the body", 100, 200, 0, "", true},
        {"older than the body", 300, 200, 0, "", false},
        {"older than a settings file that applies", 100, 200, 300, "PATH\tHONMON", false},
        {"older than one that does not apply", 100, 200, 300, "PATH\tnowhere", true},
        {"newer than the settings file", 100, 400, 300, "PATH\tHONMON", true},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string body = dir.write("HONMON", smallBook());
        const std::string text = dir.path("HONMON.txt");
        ASSERT_TRUE(writeEpwingText(body, text, {}, 0));
        setWriteTime(body, c.body);
        setWriteTime(text, c.text);
        std::vector<LStr> folders = {LStr(dir.path("settings"))};
        if (c.settings) {
            setWriteTime(dir.write("settings/s.txt", std::string(c.match) + "\r\n"), c.settings);
        }
        resetNewestSettingsTime();
        EXPECT_EQ(epwingTextIsCurrent(body, text, folders), c.current) << c.name;
    }
    resetNewestSettingsTime();
}

}  // namespace
