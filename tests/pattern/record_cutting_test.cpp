// Record cutting compared with a plain byte-by-byte cutter over the same
// bytes: Shift-JIS second bytes equal to separator bytes, separators across
// the stream's buffer edges, records longer than the cut length, and the
// separator's limited view ahead.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "base/ctype_table.h"
#include "pattern/parser.h"
#include "pattern/record_reader.h"
#include "text/buffered_stream.h"

namespace {

// A stream over a string that hands out at most maxChunk bytes per read.
class ChunkStream : public LStream {
public:
    ChunkStream(std::string data, int32_t maxChunk) : data_(std::move(data)), maxChunk_(maxChunk) {}
    int32_t read(void* buffer, int32_t count) override {
        int32_t n = std::min({count, maxChunk_, int32_t(data_.size()) - pos_});
        if (n <= 0) return 0;
        data_.copy(static_cast<char*>(buffer), size_t(n), size_t(pos_));
        pos_ += n;
        return n;
    }
    int32_t write(const void*, int32_t) override { return 0; }
    int32_t seek(int32_t p) override {
        pos_ = std::clamp(p, 0, int32_t(data_.size()));
        return pos_;
    }
    int32_t tell() const override { return pos_; }
    void flush() override {}
    bool isOpen() const override { return true; }
    void close() override {}

private:
    std::string data_;
    int32_t maxChunk_;
    int32_t pos_ = 0;
};

struct Cut {
    int32_t separator;
    std::string record;
    bool operator==(const Cut&) const = default;
};

// The cutter one byte at a time: the separator is tried at every character
// start its table allows, seeing at most peekLen bytes.
std::vector<Cut> referenceCuts(const std::string& data, LRex* sep, int32_t peekLen,
                               const LRexStartTable* table, int32_t maxLen) {
    std::vector<Cut> cuts;
    size_t pos = 0;
    while (pos < data.size()) {
        Cut cut{0, {}};
        bool charStart = true;
        for (;;) {
            if (pos >= data.size()) break;
            if (int32_t(cut.record.size()) >= maxLen) {
                for (int extra = 0; !charStart && extra < 100 && pos < data.size(); ++extra) {
                    cut.record += data[pos++];
                    charStart = true;
                }
                break;
            }
            const auto b = static_cast<unsigned char>(data[pos]);
            if (charStart && (!table || (*table)[b])) {
                const size_t visible = std::min(size_t(peekLen), data.size() - pos);
                LRexHitList hits;
                LRexCursor c;
                c.cur = c.start = data.data() + pos;
                c.end = c.start + visible;
                c.hits = &hits;
                sep->reset();
                if (sep->next(c, false) && c.cur > c.start) {
                    cut.separator = int32_t(c.cur - c.start);
                    cut.record.append(data, pos, size_t(cut.separator));
                    pos += size_t(cut.separator);
                    break;
                }
            }
            cut.record += char(b);
            ++pos;
            charStart = !(charStart && isLeadByte(b));
        }
        cuts.push_back(std::move(cut));
    }
    return cuts;
}

std::vector<Cut> streamCuts(const std::string& data, LRex* sep, int32_t peekLen,
                            const LRexStartTable* table, int32_t maxLen, int32_t maxChunk) {
    ChunkStream under(data, maxChunk);
    LSrm stream(&under);
    std::vector<Cut> cuts;
    for (;;) {
        LStr record;
        const int32_t n = readUntilRex(stream, sep, peekLen, table, record, maxLen);
        if (record.empty()) break;
        cuts.push_back({n, std::string(record.view())});
    }
    return cuts;
}

// Text built from pieces that stress the character walk: lead bytes whose
// second byte is a line feed look-alike ('@', 'B', 0x81), half-width kana,
// CR/LF runs, and long runs without any separator.
std::string randomText(std::mt19937& rng, size_t size) {
    static const std::vector<std::string> pieces = {
        "a",        "B",        "\n",       "\r\n",     "\r",       "\n\n",     "\x81\x42",
        "\x83\x81", "\x81\x40", "\x93\x83", "\x83\x93", "\xB1",     "\xE0\x42", "x\x81",
        "\x81",     "\x82\xA0", "@",        "ab",       "\x81\x81", "\xFC\xFC",
    };
    std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> longRun(0, 400);
    std::string text;
    while (text.size() < size) {
        if (longRun(rng) == 0) {
            // A record far longer than the cut length, of double-byte characters.
            for (int i = 0; i < 6000; ++i) text += "\x93\x83";
            continue;
        }
        text += pieces[pick(rng)];
    }
    return text;
}

struct SeparatorCase {
    const char* pattern;
    bool useTable;
};

}  // namespace

TEST(RecordCutting, MatchesTheByteByByteCutter) {
    const SeparatorCase separators[] = {
        {"\\n", true},      {"[\\x0A\\x0D]+", true}, {"[\\x0A\\x0D]+", false},
        {"\x81\x42", true}, {"(\\n){2,}", true},     {"ab|B\\n|@", true},
        {"\\n\\n", false},  {"\x81\x40|\\r", true},
    };
    std::mt19937 rng(12345);
    for (int round = 0; round < 6; ++round) {
        const std::string data = randomText(rng, 30000);
        for (const SeparatorCase& sc : separators) {
            LRexPtr sep = compileRex(sc.pattern);
            ASSERT_TRUE(sep) << sc.pattern;
            const LRexStartTable table = buildStartByteTable(*sep, 0);
            const LRexStartTable* t = sc.useTable ? &table : nullptr;
            for (int32_t maxLen : {10000, 977, 3}) {
                const auto expected = referenceCuts(data, sep.get(), 100, t, maxLen);
                for (int32_t chunk : {INT32_MAX, 333, 7}) {
                    const auto got = streamCuts(data, sep.get(), 100, t, maxLen, chunk);
                    ASSERT_EQ(got.size(), expected.size())
                        << sc.pattern << " maxLen " << maxLen << " chunk " << chunk;
                    for (size_t i = 0; i < got.size(); ++i)
                        ASSERT_EQ(got[i], expected[i]) << sc.pattern << " maxLen " << maxLen
                                                       << " chunk " << chunk << " record " << i;
                }
            }
        }
    }
}

TEST(RecordCutting, SeparatorsAtEveryBufferOffset) {
    // A separator whose first byte lands on each offset around the 1000-byte
    // buffer's edges, once after a double-byte character whose second byte
    // equals the separator's first byte.
    LRexPtr sep = compileRex("\x81\x42");
    const LRexStartTable table = buildStartByteTable(*sep, 0);
    for (int offset = 960; offset < 1040; ++offset) {
        for (const char* before : {"x", "\x83\x81"}) {
            std::string data(size_t(offset - 1), 'a');
            data += before;
            data += "\x42\x81\x42tail";
            const auto expected = referenceCuts(data, sep.get(), 100, &table, 10000);
            ASSERT_EQ(streamCuts(data, sep.get(), 100, &table, 10000, INT32_MAX), expected)
                << offset;
            ASSERT_EQ(expected.size(), 2u);
            EXPECT_EQ(expected[1].record, "tail");
        }
    }
}
