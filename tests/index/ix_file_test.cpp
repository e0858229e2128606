// The index file format: loading bytes written by hand, writing byte for
// byte, and staying sound on damaged files.
#include "index/ix_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "index/index_marker.h"
#include "index/ix_cache.h"
#include "index/ix_messages.h"
#include "ix_test_support.h"

namespace {

using namespace ixtest;

// Two entries: a.txt with two blocks and b.txt with none. strHash puts
// b.txt one bucket after a.txt, so this is also the order of writing.
struct Sample {
    std::string aBlocks = blockRecord(0, 250, 1, 0xF0) + blockRecord(250, 7, 9, 0x0F);
    std::string a = entryRecord("a.txt", 0x0123456789ABCDEFull, 257, aBlocks);
    std::string b = entryRecord("b.txt", 5, 0, "");
    std::string head = header(3) + "/src/docs\r\n";
    std::string bytes = head + a + b + "Z";
};

TEST(IndexFile, LoadsEntriesWrittenByHand) {
    TempDir tmp;
    Sample s;
    std::string ix = tmp.write("docs.qfd", s.bytes);
    CaptureSink sink;
    TIxCache cache;
    loadIndexFile(cache, "/elsewhere/file.txt", ix);

    EXPECT_TRUE(sink.messages().empty()) << sink.allText();
    EXPECT_EQ(cache.dir, "/src/docs");
    EXPECT_EQ(cache.ixPath, ix.c_str());
    EXPECT_FALSE(cache.dirty);
    ASSERT_EQ(cache.count(), 2);
    TIxEntry* a = cache.find("a.txt");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->lastWrite, 0x0123456789ABCDEFull);
    EXPECT_EQ(a->size, 257u);
    ASSERT_EQ(a->blocks.size(), 2u);
    EXPECT_EQ(a->blocks[1].pos, 250);
    EXPECT_EQ(a->blocks[1].len, 7);
    EXPECT_EQ(a->blocks[1].line, 9);
    // Byte 0xF0 in every signature byte: bits 4-7 of each byte.
    EXPECT_FALSE(a->blocks[0].sig.test(0));
    EXPECT_TRUE(a->blocks[0].sig.test(4));
    EXPECT_TRUE(a->blocks[0].sig.test(383));
    EXPECT_TRUE(a->blocks[1].sig.test(376));
    ASSERT_NE(cache.find("b.txt"), nullptr);
    EXPECT_TRUE(cache.find("b.txt")->blocks.empty());
    EXPECT_EQ(cache.find("A.txt"), nullptr);  // names are case-sensitive
}

TEST(IndexFile, UnwritableTargetIsReportedAndOldFileKept) {
    TempDir tmp;
    // A folder where the index file should be: the rename cannot replace it.
    std::filesystem::create_directories(tmp.path("docs.qfd"));
    CaptureSink sink;
    TIxCache cache;
    cache.ixPath = tmp.path("docs.qfd");
    EXPECT_FALSE(writeIndexFile(cache));
    EXPECT_EQ(texts(sink).back(),
              messageLine("cannot write to index file '" + tmp.path("docs.qfd") + "'"));
    EXPECT_TRUE(std::filesystem::is_directory(tmp.path("docs.qfd")));
}

// Files that give no entries: only a file that is not an index file at all
// is worth a message. Written back, each becomes a current empty file.
TEST(IndexFile, FilesWithoutUsableEntries) {
    TempDir tmp;
    Sample s;
    const std::string ix = tmp.path("docs.qfd");
    struct Case {
        const char* what;
        std::optional<std::string> bytes;
        std::vector<std::string> messages;
    } cases[] = {
        {"missing", std::nullopt, {}},
        {"illegal header",
         "QX" + s.bytes.substr(2),
         {messageLine("illegal index file (illegal header): '" + ix + "'")}},
        {"version 2", header(2) + "/src/docs\r\n" + s.a + s.b + "Z", {}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(ix);
        if (c.bytes) tmp.write("docs.qfd", *c.bytes);
        CaptureSink sink;
        {
            TIxCache cache;
            loadIndexFile(cache, "/src/docs/a.txt", ix);
            EXPECT_EQ(cache.count(), 0) << c.what;
            cache.dirty = true;
        }
        EXPECT_EQ(texts(sink), c.messages) << c.what;
        EXPECT_EQ(tmp.read("docs.qfd"), header(3) + "/src/docs\r\nZ") << c.what;
    }
}

// Cutting the file anywhere keeps exactly the entries that were complete,
// reports the damage and never reads past the data.
TEST(IndexFile, TruncatedAnywhereKeepsTheCompleteEntries) {
    TempDir tmp;
    Sample s;
    const size_t aEnd = s.head.size() + s.a.size();
    const size_t bEnd = aEnd + s.b.size();
    for (size_t cut = 0; cut < s.bytes.size(); ++cut) {
        std::string ix = tmp.write("docs.qfd", s.bytes.substr(0, cut));
        CaptureSink sink;
        TIxCache cache;
        loadIndexFile(cache, "/src/docs/a.txt", ix);
        EXPECT_EQ(cache.find("a.txt") != nullptr, cut >= aEnd) << cut;
        EXPECT_EQ(cache.find("b.txt") != nullptr, cut >= bEnd) << cut;
        std::vector<std::string> got = texts(sink);
        if (cut < 3) {
            EXPECT_EQ(got, std::vector<std::string>{
                               messageLine("illegal index file (illegal header): '" + ix + "'")});
            continue;
        }
        if (cut < 8) {  // the version is cut short: an old file, rebuilt quietly
            EXPECT_TRUE(got.empty()) << cut;
            continue;
        }
        ASSERT_FALSE(got.empty()) << cut;
        EXPECT_EQ(got.back(), messageLine(ixErrorText(ixtext::kFileBroken, ix))) << cut;
        // An entry cut in its middle is reported on its own as well.
        bool insideEntry = (cut > s.head.size() && cut < aEnd) || (cut > aEnd && cut < bEnd);
        EXPECT_EQ(got.size(), insideEntry ? 2u : 1u) << cut;
        if (insideEntry) {
            EXPECT_EQ(got.front(), messageLine(ixtext::kEntryBroken)) << cut;
        }
    }
}

// Damage after the first entry keeps what was read before it and is
// reported; a damaged block makes the rest of the file unreadable.
TEST(IndexFile, DamagedEntriesAreReportedAndSkipped) {
    TempDir tmp;
    Sample s;
    std::string ix = tmp.path("docs.qfd");
    std::string entryBroken = messageLine(ixtext::kEntryBroken);
    std::string fileBroken = messageLine(ixErrorText(ixtext::kFileBroken, ix));
    auto badBlock = [](int32_t pos, int32_t len) {
        return entryRecord("n", 1, 1, blockRecord(pos, len, 1, 0)) + "Z";
    };
    struct Case {
        const char* what;
        std::string tail;  // after entry a
        int entries;
        std::vector<std::string> messages;
    } cases[] = {
        {"no closing z", s.b.substr(0, s.b.size() - 1) + "Z", 1, {entryBroken, fileBroken}},
        {"no closing Z", s.b + "?", 2, {fileBroken}},
        {"negative length", badBlock(0, -5), 1, {entryBroken, fileBroken}},
        {"negative position", badBlock(-1, 5), 1, {entryBroken, fileBroken}},
        {"range past 2 GiB", badBlock(0x7FFFFFF0, 0x20), 1, {entryBroken, fileBroken}},
        {"name without end", "F" + std::string(100000, 'n'), 1, {entryBroken, fileBroken}},
    };
    for (const Case& c : cases) {
        tmp.write("docs.qfd", s.head + s.a + c.tail);
        CaptureSink sink;
        TIxCache cache;
        loadIndexFile(cache, "/src/docs/a.txt", ix);
        EXPECT_NE(cache.find("a.txt"), nullptr) << c.what;
        EXPECT_EQ(cache.count(), c.entries) << c.what;
        EXPECT_EQ(texts(sink), c.messages) << c.what;
    }
}

// Loading pins every field above, so writing the loaded cache back pins the
// writer byte for byte.
TEST(IndexFile, WritesBackExactlyTheBytesItLoaded) {
    TempDir tmp;
    Sample s;
    std::string ix = tmp.write("out/docs.qfd", s.bytes);
    {
        TIxCache cache;
        loadIndexFile(cache, "/src/docs/a.txt", ix);
        cache.dirty = true;
    }
    EXPECT_EQ(tmp.read("out/docs.qfd"), s.bytes);
    // Nothing but the index file is left in its folder.
    int files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(tmp.path("out"))) ++files;
    EXPECT_EQ(files, 1);
}

}  // namespace
