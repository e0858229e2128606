// Record cutting compared with a plain byte-by-byte cutter: second bytes equal
// to separator bytes, buffer edges, over-long records, limited view ahead.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/ctype_table.h"
#include "common/string_stream.h"
#include "pattern/parser.h"
#include "pattern/record_reader.h"
#include "support/stop_flag.h"
#include "text/memory_stream.h"

namespace {

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

// The records a reader cuts from data delivered maxChunk bytes at a time;
// read returns the separator length and fills the record.
using ReadRecord = std::function<int32_t(LSrm&, LStr&)>;
std::vector<Cut> streamCuts(const std::string& data, int32_t maxChunk, const ReadRecord& read) {
    StringStream under(data, maxChunk);
    LSrm stream(&under);
    std::vector<Cut> cuts;
    for (;;) {
        LStr record;
        const int32_t n = read(stream, record);
        if (record.empty()) break;
        cuts.push_back({n, std::string(record.view())});
    }
    return cuts;
}

// The reader's cuts agree with the expected ones for every delivery size.
void expectCuts(const std::vector<Cut>& expected, const std::string& data, const ReadRecord& read,
                const std::string& what) {
    for (int32_t chunk : {INT32_MAX, 333, 7}) {
        const auto got = streamCuts(data, chunk, read);
        ASSERT_EQ(got.size(), expected.size()) << what << " chunk " << chunk;
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], expected[i]) << what << " chunk " << chunk << " record " << i;
    }
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

}  // namespace

TEST(RecordCutting, MatchesTheByteByByteCutter) {
    const std::pair<const char*, bool> separators[] = {
        // pattern, with its table
        {"\\n", true},      {"[\\x0A\\x0D]+", true}, {"[\\x0A\\x0D]+", false},
        {"\x81\x42", true}, {"(\\n){2,}", true},     {"ab|B\\n|@", true},
        {"\\n\\n", false},  {"\x81\x40|\\r", true},
    };
    std::mt19937 rng(12345);
    for (int round = 0; round < 6; ++round) {
        const std::string data = randomText(rng, 30000);
        for (const auto& [pattern, useTable] : separators) {
            LRexPtr sep = compileRex(pattern);
            const LRexStartTable table = buildStartByteTable(*sep, 0);
            const LRexStartTable* t = useTable ? &table : nullptr;
            for (int32_t maxLen : {10000, 977, 3}) {
                expectCuts(
                    referenceCuts(data, sep.get(), 100, t, maxLen), data,
                    [&](LSrm& stream, LStr& record) {
                        return readUntilRex(stream, sep.get(), 100, t, record, maxLen);
                    },
                    std::string(pattern) + " maxLen " + std::to_string(maxLen));
            }
        }
    }
}

// Each "+" after the first repeats another "+", so on a run of "+" this
// separator backtracks for ages; a cancel must end it, leaving one record.
TEST(RecordCutting, CancelEndsAPathologicalSeparator) {
    LRexPtr sep = compileRex("++++++++++++++++++++++++y");
    const std::string data(90, '+');
    LMemSrm stream(data);
    LStr record;
    stopFlag().store(1);
    const int32_t separator = readUntilRex(stream, sep.get(), 100, nullptr, record, 10000);
    stopFlag().store(0);
    EXPECT_EQ(separator, 0);
    EXPECT_EQ(record.view(), data);
}

// Line records are cut as the line separator pattern cuts them, also where a
// run of line bytes is longer than the separator may look ahead.
TEST(RecordCutting, LineRecordsMatchTheLinePattern) {
    LRexPtr sep = compileRex("[\\x0A\\x0D]+");
    const LRexStartTable table = buildStartByteTable(*sep, 0);
    std::mt19937 rng(777);
    for (int round = 0; round < 4; ++round) {
        std::string data = randomText(rng, 20000);
        for (size_t at : {size_t(0), size_t(101), data.size() / 2, data.size()}) {
            std::string run;
            for (size_t i = 0; i < 150 + at % 7; ++i) run += (i * 7 + at) % 3 ? '\n' : '\r';
            data.insert(at, run);
        }
        for (int32_t peekLen : {100, 5}) {
            for (int32_t maxLen : {10000, 977, 3}) {
                expectCuts(
                    referenceCuts(data, sep.get(), peekLen, &table, maxLen), data,
                    [&](LSrm& stream, LStr& record) {
                        return readLineRecord(stream, peekLen, record, maxLen);
                    },
                    "peek " + std::to_string(peekLen) + " maxLen " + std::to_string(maxLen));
            }
        }
    }
}
