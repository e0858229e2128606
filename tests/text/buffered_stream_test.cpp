// The buffered stream: reads and look-ahead across buffer refills, line
// counting, seeking inside and outside the buffer, writing, and LIoFile.
#include "text/buffered_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/string_stream.h"
#include "common/temp_dir.h"
#include "text/io_file.h"

namespace {

// Distinct bytes, so a misplaced offset shows.
std::string pattern(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += char('A' + i % 23 + (i / 23) % 3);
    return s;
}

std::string readAll(LSrmBase& s, int32_t chunk) {
    std::string out;
    std::vector<char> buf(static_cast<size_t>(chunk));
    for (int32_t n; (n = s.read(buf.data(), chunk)) > 0;) out.append(buf.data(), size_t(n));
    return out;
}

}  // namespace

TEST(BufferedStream, ReadsEveryByteWhateverTheChunkSize) {
    std::string text = pattern(3500);
    for (int32_t maxChunk : {INT32_MAX, 333}) {
        for (int32_t chunk : {1, 979, 980, 1000, 1001, 5000}) {
            StringStream under(text, maxChunk);
            LSrm s(&under);
            EXPECT_EQ(readAll(s, chunk), text) << "chunk " << chunk << " source " << maxChunk;
            EXPECT_TRUE(s.endOfInput());
            EXPECT_EQ(s.seek(1), 1);  // a seek clears the end of input
            EXPECT_FALSE(s.endOfInput());
            EXPECT_EQ(s.readByte(), text[1]);
        }
    }
}

TEST(BufferedStream, UnitsLiteralsAndPeeksAcrossTheBufferEdge) {
    StringStream under(pattern(995) + "Hell\x34\x12\xff\xfe" + "\x01");
    LSrm s(&under);
    s.skipBytes(995);
    EXPECT_FALSE(s.matchLiteral("hell"));
    EXPECT_TRUE(s.matchLiteral("Hell\x34\x12"));
    s.skipBytes(4);
    EXPECT_EQ(s.readUnit32(), 0xFEFF1234LL);  // all 32 bits, never mistaken for -1
    EXPECT_EQ(s.readUnit16(), -1);            // one byte left
    EXPECT_EQ(s.tell(), 1004);

    std::string long_ = pattern(4000);
    StringStream longer(long_);
    LSrm t(&longer);
    t.skipBytes(1500);
    int32_t available = 0;
    const char* p = t.peekBytes(2000, &available);
    EXPECT_EQ(std::string(p, size_t(available)), long_.substr(1500, LSrmBase::kMaxPeek));
    EXPECT_EQ(p[available], '\0');  // the buffer's data is NUL-terminated
    t.seek(3990);
    EXPECT_EQ(std::string(t.peekBytes(100, &available)), long_.substr(3990));
    EXPECT_EQ(t.tell(), 3990);
}

TEST(BufferedStream, PositionsPastTwoGibibytesStayExact) {
    const int64_t base = (int64_t(1) << 31) - 1500;  // the bytes straddle 2^31
    const std::string text = pattern(3000);
    StringStream under(text);
    under.base = base;
    LSrm s(&under);
    EXPECT_EQ(s.seek(base + 10), base + 10);
    EXPECT_EQ(readAll(s, 700), text.substr(10));
    EXPECT_EQ(s.tell(), base + 3000);
    EXPECT_EQ(s.seek(base + 2600), base + 2600);  // outside the buffer, past 2^31
    EXPECT_EQ(s.readByte(), text[2600]);
    EXPECT_EQ(s.skipBytes(1200), base + 3000);
}

TEST(BufferedStream, LinesAreCountedAcrossRefills) {
    // Lines of growing length; some line feeds fall right at the buffer edges.
    std::string text;
    std::vector<int32_t> lineStarts;
    for (int i = 0; text.size() < 5000; ++i) {
        lineStarts.push_back(int32_t(text.size()));
        text += std::string(size_t(i % 47), 'x') + "\n";
    }
    StringStream under(text);
    LSrm s(&under);
    for (size_t n = 0; n < lineStarts.size(); ++n) {
        while (s.tell() < lineStarts[n]) s.readByte();
        ASSERT_EQ(s.line(), int32_t(n + 1)) << "at " << s.tell();
        ASSERT_TRUE(n == 0 || s.column() == 1) << "at " << s.tell();
    }
}

TEST(BufferedStream, SeekInsideTheBufferKeepsLinesOutsideStopsCounting) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "line\n";  // 5 bytes a line
    StringStream under(text);
    LSrm s(&under);
    s.skipBytes(1000);
    s.seek(1000);  // the end of the buffered bytes is still inside
    EXPECT_EQ(s.line(), 201);
    s.readByte();  // refills: keeps 20 bytes before the read position
    s.seek(986);   // still buffered
    EXPECT_EQ(s.line(), 198);
    EXPECT_EQ(s.column(), 2);
    s.seek(979);  // outside
    EXPECT_EQ(s.line(), 0);
    EXPECT_EQ(s.readByte(), '\n');
    EXPECT_EQ(s.line(), 0);  // line feeds read after the seek do not count either
    s.setLine(50);
    s.skipBytes(20);
    EXPECT_EQ(s.line(), 54);
    EXPECT_EQ(s.seek(-1), int32_t(text.size()));
}

TEST(BufferedStream, ReadLineModes) {
    const std::string edge(999, 'a');  // CR LF split by the buffer edge
    // text, mode, what each call appends, what it returns
    const std::tuple<std::string, int, std::vector<std::string>, std::vector<int>> cases[] = {
        {"a\r\nb\rc\nd", 0, {"a", "b", "c", "d", ""}, {'\r', '\r', '\n', -1, -1}},
        {"a\r\nb\rc\nd", 1, {"a\r\n", "b\r", "c\n", "d", ""}, {'\r', '\r', '\n', -1, -1}},
        {"\n\r\r\n", 0, {"", "", "", ""}, {'\n', '\r', '\r', -1}},
        {"ab\r\ncd", 2, {"ab", ""}, {'\r', '\r'}},  // the line end stays unread
        {edge + "\r\nz\n", 0, {edge, "z"}, {'\r', '\n'}},
    };
    for (const auto& [text, mode, lines, results] : cases) {
        StringStream under(text);
        LSrm s(&under);
        for (size_t i = 0; i < lines.size(); ++i) {
            LStr line;
            EXPECT_EQ(s.readLine(&line, mode), results[i]) << mode << " call " << i;
            EXPECT_EQ(line.view(), lines[i]) << mode << " call " << i;
        }
    }
}

TEST(BufferedStream, WritesKeepTheRestAndTheReadPosition) {
    std::string text = pattern(3000);
    StringStream under(text);
    {
        LSrm s(&under);
        s.seek(1500);
        s.write("XYZ", 3);
        EXPECT_EQ(s.readByte(), text[1503]);  // reading on after a write
        s.seek(10);                           // far seek writes out first
        s.write("Q", 1);
        EXPECT_EQ(s.readByte(), text[11]);
        s.flush();
        EXPECT_EQ(under.data.substr(0, 12), text.substr(0, 10) + "Q" + text[11]);
    }
    text.replace(1500, 3, "XYZ");
    text[10] = 'Q';
    EXPECT_EQ(under.data, text);

    StringStream full;
    full.writeLimit = 1500;  // a full disk
    LSrm s(&full);
    EXPECT_LT(s.write(text.data(), 3000), 3000);
    s.seek(0);  // unwritable bytes are dropped, not written elsewhere
    EXPECT_EQ(full.data, text.substr(0, 1500));
}

TEST(IoFile, WritesReadsAndTruncatesAfterWritingOut) {
    TempDir dir;
    std::string path = dir.path("io.txt");
    std::string text = pattern(2345);
    {
        LIoFile out(path, 'w', true);
        for (size_t i = 0; i < text.size(); i += 7)
            out.write(text.data() + i, int32_t(std::min<size_t>(7, text.size() - i)));
    }  // destruction writes out the rest
    EXPECT_EQ(dir.read("io.txt"), text);
    LIoFile f(path, 'a', true);
    EXPECT_EQ(f.tell(), 2345);
    f.write("\nab\ncd", 6);
    f.seek(2348);  // still buffered: the cut must come after the bytes are written out
    f.truncate();
    f.close();
    EXPECT_EQ(dir.read("io.txt"), text + "\nab");
}
