// Opening a file for search: the display name and the position it pushes,
// and a file that does not open.
#include "search/open_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/temp_dir.h"
#include "support/source_position.h"
#include "text/buffered_stream.h"

TEST(OpenReader, PushesTheDisplayNameWithTheRecordLine) {
    TempDir dir;
    dir.write("sub/a.txt", "one\ntwo\n");
    TReader reader;
    ASSERT_TRUE(openReader(reader, LStr(dir.path("sub/a.txt")), dir.path() + "/", false));
    EXPECT_EQ(std::string(reader.displayName().view()), "sub/a.txt");
    reader.setRecordLine(2);
    EXPECT_EQ(std::string(positionText().view()), "sub/a.txt(2)");
    reader.close();
    EXPECT_EQ(std::string(positionText().view()), "");
    EXPECT_FALSE(openReader(reader, LStr(dir.path("missing.txt")), "", false));
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(std::string(positionText().view()), "");
}

namespace {

// Shift-JIS text with a line feed every 40 bytes, told apart by seed.
std::string lines(size_t size, char seed) {
    std::string text;
    for (size_t i = 0; text.size() < size; ++i)
        text += i % 40 == 39 ? '\n' : i % 7 == 0 ? '\x93' : char('a' + (seed + i) % 26);
    text.resize(size);
    return text;
}

std::string rest(LSrmBase& stream) {
    LStr text;
    stream.readRest(text);
    return std::string(text.view());
}

}  // namespace

// Files are read whole into buffers a thread keeps for the next file: a
// reader open at the same time, or a later shorter file, never sees another
// file's bytes.
TEST(OpenReader, ReadersOpenTogetherOrInTurnKeepTheirOwnBytes) {
    TempDir dir;
    const std::string texts[] = {lines(90000, 0), lines(20000, 1), lines(3, 2), "",
                                 lines(70000, 3)};
    for (size_t i = 0; i < std::size(texts); ++i)
        dir.write("f" + std::to_string(i) + ".txt", texts[i]);
    const auto open = [&](size_t i, TReader& reader) {
        ASSERT_TRUE(
            openReader(reader, LStr(dir.path("f" + std::to_string(i) + ".txt")), "", false));
    };
    TReader first, second;
    open(0, first);
    open(1, second);
    EXPECT_EQ(rest(second.stream()), texts[1]);
    for (size_t i = 2; i < std::size(texts); ++i) {
        TReader later;
        open(i, later);
        EXPECT_EQ(rest(later.stream()), texts[i]) << i;
    }
    EXPECT_EQ(rest(first.stream()), texts[0]);
}

// The search seeks to a block, counts lines from there and peeks ahead; a
// file read whole shows all the rest at once, followed by two NULs. A seek
// past its end stays where it was.
TEST(OpenReader, AFileReadWholeSeeksPeeksAndCountsLikeAStream) {
    TempDir dir;
    const std::string text = lines(50000, 5);
    dir.write("a.txt", text);
    TReader reader;
    ASSERT_TRUE(openReader(reader, LStr(dir.path("a.txt")), "", false));
    LSrmBase& stream = reader.stream();
    struct {
        int64_t seekTo;
        int64_t landsAt;
    } seeks[] = {{400, 400}, {60000, 1634}, {49999, 49999}, {50000, 50000}, {-1, 50000}, {0, 0}};
    for (const auto& s : seeks) {
        EXPECT_EQ(stream.seek(s.seekTo), s.landsAt) << s.seekTo;
        stream.setLine(7);
        int32_t visible = 0;
        const char* p = stream.peekBytes(1, &visible);
        ASSERT_EQ(visible, int32_t(text.size() - s.landsAt)) << s.seekTo;
        EXPECT_EQ(std::string(p, size_t(visible)), text.substr(size_t(s.landsAt)));
        EXPECT_EQ(p[visible], 0);
        EXPECT_EQ(p[visible + 1], 0);
        const int32_t ahead = std::min<int32_t>(visible, 1234);
        stream.skipBytes(ahead);
        const int64_t feeds = std::count(p, p + ahead, '\n');
        EXPECT_EQ(stream.line(), 7 + feeds) << s.seekTo;
    }
    // Nothing is written into the text.
    stream.seek(10);
    EXPECT_EQ(stream.write("zz", 2), 0);
    stream.seek(0);
    EXPECT_EQ(rest(stream), text);
    EXPECT_EQ(stream.tell(), int64_t(text.size()));
}
