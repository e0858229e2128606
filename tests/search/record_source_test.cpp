// Cutting a file into records for a run: the line each record begins on,
// reading from the middle of a file, and agreement with the index builder,
// whose blocks must begin where the search's records begin.
#include "search/record_source.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "common/temp_dir.h"
#include "index/ix_cache.h"
#include "index/record_limits.h"
#include "pattern/char_sequence_filter.h"
#include "pattern/parser.h"
#include "pattern/searcher.h"
#include "search/open_reader.h"
#include "support/needle_finder.h"

using Record = std::tuple<int32_t, int32_t, std::string>;  // start, line, text

// Every record from start to the end of the file.
std::vector<Record> records(RecordSource& source, const std::string& path, int64_t start = 0,
                            int32_t firstLine = 1) {
    TReader reader;
    EXPECT_TRUE(openReader(reader, LStr(path), "", false));
    source.seek(reader, start, firstLine);
    std::vector<Record> out;
    LStr record;
    for (int32_t at = reader.stream().tell(); source.next(reader, INT32_MAX, record);
         at = reader.stream().tell())
        out.push_back({at, reader.recordLine(), std::string(record.view())});
    return out;
}

TEST(RecordSource, RecordsWithTheirLinesFromAnyStart) {
    TempDir dir;
    const std::string path = dir.write("a.txt", "one\r\n\r\ntwo\nthree");
    RecordSource source("[\\x0A\\x0D]+");
    const std::vector<Record> all{{0, 1, "one\r\n\r\n"}, {7, 3, "two\n"}, {11, 4, "three"}};
    EXPECT_EQ(records(source, path), all);
    // A block read begins with its own first line.
    EXPECT_EQ(records(source, path, 7, 3), std::vector<Record>(all.begin() + 1, all.end()));
    // A separator that is no line end still counts the lines inside records.
    RecordSource semicolons(";");
    dir.write("b.txt", "a\nb;c");
    EXPECT_EQ(records(semicolons, dir.path("b.txt")),
              (std::vector<Record>{{0, 1, "a\nb;"}, {4, 2, "c"}}));
}

TEST(RecordSource, IndexBlocksBeginWhereRecordsBegin) {
    TempDir dir;
    // Long records are cut at the length limit by both readers alike.
    std::string text;
    for (int i = 0; i < 40; ++i) text += std::string(size_t(i * 37 % 90), 'a') + "\n";
    text += std::string(size_t(kRecordMaxLength) * 2 + 500, 'b') + "\nend\n";
    const std::string path = dir.write("a.txt", text);
    RecordSource source("[\\x0A\\x0D]+");
    std::vector<int32_t> starts;
    for (const Record& r : records(source, path)) starts.push_back(std::get<0>(r));
    ASSERT_GT(starts.size(), 40u);

    TIxEntry entry;
    ASSERT_EQ(createIndex(entry, path, source.separator()), 0);
    ASSERT_GT(entry.blocks.size(), 3);
    for (const TIxBlock& block : entry.blocks.all())
        EXPECT_NE(std::find(starts.begin(), starts.end(), block.pos), starts.end())
            << "block at " << block.pos;
}

// Passing over lines that a scan rules out keeps exactly the records that
// hold a match, with their lines, wherever a match falls against the reads:
// a needle scan (bytes, at any offset), the character-row filter and needles
// confirmed by it from the line's start (whole characters only: "x" after an
// odd run of 0x93 lead bytes is a trail byte).
TEST(RecordSource, SkippingKeepsTheRecordsThatHoldAMatch) {
    TempDir dir;
    const char* ends[] = {"\n", "\r\n", "\r\n\r\n", "\r"};
    std::string text;
    for (int i = 0; i < 300; ++i) {
        std::string line(size_t(i * 53 % 1500), i % 2 ? 'a' : '\x93');  // 0x93: a lead byte
        if (i % 3 != 1) line.insert(size_t(i * 7) % (line.size() + 1), i % 2 ? "\x93\xFA" : "x");
        text += line + ends[i % 4];
    }
    text += std::string(size_t(kRecordMaxLength) * 2, 'b') + "x" + std::string(900, 'b');
    const std::string path = dir.write("a.txt", text);
    RecordSource source("[\\x0A\\x0D]+");
    ASSERT_TRUE(source.cutsLines());

    const NeedleFinder needles({"\x93\xFA", "x"});
    const auto rowFilter = [](const char* pattern) {
        return CharSequenceFilter::forPattern(*compileRex(pattern));
    };
    const auto either = rowFilter("[\x93\xFAx]");
    const auto anyThenX = rowFilter(".x");
    const CheckedCandidateScan checked(needles, *anyThenX);
    const auto bytes = [](const std::string& body) {
        return body.find("\x93\xFA") != std::string::npos || body.find('x') != std::string::npos;
    };
    LRexSearcher eitherRex("[\x93\xFAx]", 0), anyThenXRex(".x", 0);
    const struct {
        const CandidateScan& scan;
        std::function<bool(const std::string&)> holds;
        size_t atLeast;
    } cases[] = {
        {needles, bytes, 90},
        {*either, [&](const std::string& b) { return eitherRex.search(b) >= 0; }, 80},
        {checked, [&](const std::string& b) { return anyThenXRex.search(b) >= 0; }, 30},
    };
    for (const auto& c : cases) {
        std::vector<Record> expected;
        for (const Record& r : records(source, path))
            if (c.holds(std::get<2>(r))) expected.push_back(r);
        ASSERT_GT(expected.size(), c.atLeast);

        TReader reader;
        ASSERT_TRUE(openReader(reader, LStr(path), "", false));
        source.seek(reader, 0, 1);
        std::vector<Record> kept;
        LStr record;
        for (int32_t at = 0;
             source.skipToCandidate(reader, INT32_MAX, c.scan) &&
             (at = int32_t(reader.stream().tell()), source.next(reader, INT32_MAX, record));) {
            const std::string body(record.view());
            if (c.holds(body)) kept.push_back({at, reader.recordLine(), body});
        }
        EXPECT_EQ(kept, expected) << &c - cases;
    }

    // Records of another separator span lines: nothing is passed over.
    RecordSource entries(";");
    TReader other;
    ASSERT_TRUE(openReader(other, LStr(dir.write("b.txt", "a\nb\nx;c")), "", false));
    entries.seek(other, 0, 1);
    EXPECT_TRUE(entries.skipToCandidate(other, INT32_MAX, needles));
    EXPECT_EQ(other.stream().tell(), 0);
}
