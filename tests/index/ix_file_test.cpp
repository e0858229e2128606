// The index file format: loading bytes written by hand, writing them back
// byte for byte, and staying sound on damaged files.
#include "index/ix_file.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "index/ix_cache.h"
#include "index/ix_messages.h"
#include "ix_test_support.h"
#include "text/io_file.h"

namespace {

using namespace ixtest;

// a.txt with two blocks and b.txt with none; strHash puts b.txt one bucket
// after a.txt, so this is also the order of writing.
struct Sample {
    std::string aBlocks = blockRecord(0, 250, 1, 0xF0) + blockRecord(250, 7, 9, 0x0F);
    std::string a = entryRecord("a.txt", 0x0123456789ABCDEFull, 257, aBlocks);
    std::string b = entryRecord("b.txt", 5, 0, "");
    std::string head = header(3) + "/src/docs\r\n";
    std::string bytes = head + a + b + "Z";
};

// What loading ix reports, with the cache it fills.
Texts load(TIxCache& cache, const std::string& ix, const char* source = "/src/docs/a.txt") {
    CaptureSink sink;
    loadIndexFile(cache, source, ix);
    return texts(sink);
}

// Loading pins every field, so writing the loaded cache back pins the
// writer byte for byte.
TEST(IndexFile, LoadsEntriesWrittenByHandAndWritesThemBack) {
    TempDir tmp;
    Sample s;
    std::string ix = tmp.write("out/docs.qfd", s.bytes);
    {
        TIxCache cache;
        EXPECT_EQ(load(cache, ix, "/elsewhere/file.txt"), Texts{});
        EXPECT_EQ(cache.dir, "/src/docs");
        EXPECT_FALSE(cache.dirty);
        ASSERT_EQ(cache.count(), 2);
        TIxEntry* a = cache.find("a.txt");
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(std::pair(a->lastWrite, a->size), std::pair(uint64_t(0x0123456789ABCDEF), 257u));
        const std::vector<TIxBlock> blocks = a->blocks.all();
        ASSERT_EQ(blocks.size(), 2u);
        const TIxBlock& last = blocks[1];
        EXPECT_EQ((std::array{last.pos, last.len, last.line}), (std::array{250, 7, 9}));
        // Byte 0xF0 in every signature byte: bits 4-7 of each byte.
        EXPECT_FALSE(blocks[0].sig.test(0));
        EXPECT_TRUE(blocks[0].sig.test(4) && blocks[0].sig.test(383));
        EXPECT_TRUE(last.sig.test(376));
        EXPECT_EQ(cache.find("A.txt"), nullptr);  // names are case-sensitive
        cache.dirty = true;
    }
    EXPECT_EQ(tmp.read("out/docs.qfd"), s.bytes);
    auto entries = std::filesystem::directory_iterator(tmp.path("out"));
    // No temporary file left: the index file and its rows file.
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 2);
}

// An old version loads as empty, quietly, and is written back current.
TEST(IndexFile, OldVersionIsRebuiltQuietly) {
    TempDir tmp;
    const std::string ix = tmp.write("docs.qfd", header(2) + "/src/docs\r\n" + Sample().a + "Z");
    {
        TIxCache cache;
        EXPECT_EQ(load(cache, ix), Texts{});
        EXPECT_EQ(cache.count(), 0);
        cache.dirty = true;
    }
    EXPECT_EQ(tmp.read("docs.qfd"), header(3) + "/src/docs\r\nZ");
}

// Cutting the file anywhere keeps exactly the entries that were complete,
// reports the damage once and never reads past the data; implausible values
// and a name without an end count as damage too. Damage makes the cache
// dirty, so the next write mends the file.
TEST(IndexFile, TruncatedOrImplausibleKeepsTheCompleteEntries) {
    TempDir tmp;
    Sample s;
    const std::string ix = tmp.path("docs.qfd");
    const size_t aEnd = s.head.size() + s.a.size();
    const size_t bEnd = aEnd + s.b.size();
    const Texts broken{messageLine(ixtext::kEntryBroken), messageLine(ixtext::kFileBroken, ix)};
    for (size_t cut = 0; cut < s.bytes.size(); ++cut) {
        tmp.write("docs.qfd", s.bytes.substr(0, cut));
        TIxCache cache;
        Texts got = load(cache, ix);
        EXPECT_EQ(cache.find("a.txt") != nullptr, cut >= aEnd) << cut;
        EXPECT_EQ(cache.find("b.txt") != nullptr, cut >= bEnd) << cut;
        Texts expected;
        if (cut < 3) {
            expected = {messageLine(ixtext::kIllegalHeader, ix)};
        } else if (cut >= 8) {  // shorter: the version is cut short, an old file
            expected = {broken[1]};
        }
        EXPECT_EQ(got, expected) << cut;
        EXPECT_EQ(cache.dirty, cut >= 8) << cut;
    }
    auto badBlock = [](int32_t pos, int32_t len) {
        return entryRecord("n", 1, 1, blockRecord(pos, len, 1, 0)) + "Z";
    };
    for (const std::string& tail : {badBlock(0, -5), badBlock(-1, 5), badBlock(0x7FFFFFF0, 0x20),
                                    "F" + std::string(100000, 'n')}) {
        tmp.write("docs.qfd", s.head + s.a + tail);
        TIxCache cache;
        EXPECT_EQ(load(cache, ix), broken) << tail.size();
        EXPECT_EQ(cache.count(), 1);
    }
}

// An entry with more blocks than one chunk gives them all, in order, and
// writes them back unchanged.
TEST(IndexFile, LongEntriesReadAndWriteBackWhole) {
    TempDir tmp;
    Sample s;  // its head
    const int32_t n = int32_t(IxBlockList::kMemoryBlocks) * 2 + 7;
    std::string blocks;
    for (int32_t i = 0; i < n; ++i) blocks += blockRecord(i * 10, 10, i + 1, uint8_t(i));
    const std::string bytes = s.head + entryRecord("long.txt", 1, 2, blocks) + "Z";
    const std::string ix = tmp.write("docs.qfd", bytes);
    {
        TIxCache cache;
        EXPECT_EQ(load(cache, ix), Texts{});
        const std::vector<TIxBlock> all = cache.find("long.txt")->blocks.all();
        ASSERT_EQ(all.size(), size_t(n));
        for (int32_t i = 0; i < n; ++i)
            ASSERT_EQ((std::array{all[i].pos, all[i].line}), (std::array{i * 10, i + 1})) << i;
        cache.dirty = true;
    }
    EXPECT_EQ(tmp.read("docs.qfd"), bytes);
}

}  // namespace

namespace {

// The opening of an index file read from bytes and from a file: the same
// header, and the file left at the first entry.
TEST(IndexFile, HeaderAndFolderLineFromBytesAndFromAFile) {
    const std::string head = header(3);
    const std::string longest(32767, 'd');  // the longest folder line read
    struct {
        std::string bytes;
        IxFileHeader::State state;
        int version;
        std::string folder;
    } cases[] = {
        {"", IxFileHeader::kNotIndex, 0, ""},
        {"QX  0003      \r\n/a\r\nZ", IxFileHeader::kNotIndex, 0, ""},
        {"QF  0003", IxFileHeader::kBrokenLine, 3, ""},
        {head, IxFileHeader::kBrokenLine, 3, ""},
        {head + "/a\r", IxFileHeader::kBrokenLine, 3, ""},
        {head + "/a\r\nZ", IxFileHeader::kComplete, 3, "/a"},
        {header(2) + "\r\nZ", IxFileHeader::kComplete, 2, ""},
        {head + "/a\rb\n\r\nZ", IxFileHeader::kComplete, 3, "/a\rb\n"},
        {head + longest + "\r\nZ", IxFileHeader::kComplete, 3, longest},
        {head + longest + "d\r\nZ", IxFileHeader::kBrokenLine, 3, ""},
    };
    TempDir tmp;
    for (const auto& c : cases) {
        const std::string label = c.bytes.substr(0, 24);
        int64_t entriesAt = -1;
        const IxFileHeader parsed = parseIndexHeader(c.bytes, &entriesAt);
        LIoFile file(tmp.write("h.qfd", c.bytes), 'r', false);
        const IxFileHeader read = readIndexHeader(file);
        for (const IxFileHeader* h : {&parsed, &read}) {
            EXPECT_EQ(h->state, c.state) << label;
            EXPECT_EQ(h->version, c.version) << label;
            EXPECT_EQ(std::string(h->folder.view()), c.folder) << label;
        }
        if (c.state != IxFileHeader::kComplete) continue;
        EXPECT_EQ(entriesAt, int64_t(c.bytes.size()) - 1) << label;
        EXPECT_EQ(file.readByte(), 'Z') << label;
    }
}

}  // namespace
