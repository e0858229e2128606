// The rows file beside an index file: its rows come back as built and
// select the blocks that hold a word; a rows file that is damaged or does
// not fit its index file is ignored, and the entries are built again.
#include "index/ix_rows_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "common/temp_dir.h"
#include "index/index_lookup.h"
#include "index/ix_cache.h"
#include "index/ix_file.h"
#include "index/ix_paths.h"
#include "ix_test_support.h"
#include "text/regularize.h"

namespace {

using namespace ixtest;
namespace fs = std::filesystem;

// Line i of a.txt holds the word "wordNNNN"; a.txt has more than 64 blocks,
// so its rows take more than one word.
std::string longText() {
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += std::string(formatText("word%04d and some filler text of the line\n", i).view());
    return text;
}

class RowsFile : public ::testing::Test {
protected:
    void SetUp() override {
        a = tmp.write("src/a.txt", longText());
        b = tmp.write("src/b.txt", "a short file\n");
        c = tmp.write("src/c.txt", "");
        build();
    }
    // Looks every source up (building what is missing) and writes the index.
    void build() {
        TIxCache cache(ix);
        for (const std::string& f : {a, b, c}) ASSERT_NE(ixLookup(cache, f, sep.get()), nullptr);
    }
    std::string indexFile() const { return std::string(ixIndexFileOf(ix, a).view()); }
    std::string rowsFile() const { return std::string(ixRowsFileOf(indexFile()).view()); }
    void load(TIxCache& cache) const { loadIndexFile(cache, a, indexFile()); }

    TempDir tmp;
    std::string ix = tmp.path("ix/");
    LineSeparator sep;
    std::string a, b, c;
};

// The blocks of entry that the rows admit for text.
std::vector<int64_t> candidates(const TIxEntry& entry, std::string_view text) {
    LStr regular;
    regularize(text, kIndexFolding, regular);
    std::vector<uint64_t> mask;
    entry.wide.candidates(signatureOf(regular.view()).wide, mask);
    std::vector<int64_t> out;
    for (int64_t i = 0; i < int64_t(mask.size()) * 64; ++i)
        if (mask[size_t(i / 64)] >> (i % 64) & 1) out.push_back(i);
    return out;
}

int64_t blockAt(const TIxEntry& entry, int64_t offset) {
    const std::vector<TIxBlock> blocks = entry.blocks.all();
    for (size_t i = 0; i < blocks.size(); ++i)
        if (offset >= blocks[i].pos && offset < blocks[i].pos + blocks[i].len) return int64_t(i);
    return -1;
}

TEST_F(RowsFile, RowsComeBackAsBuiltAndSelectTheBlocksOfAWord) {
    fs::remove(indexFile());
    TIxCache built(ix);
    for (const std::string& f : {a, b, c}) ixLookup(built, f, sep.get());
    ASSERT_GT(built.find("a.txt")->blocks.size(), 64);
    ASSERT_TRUE(built.writeBack());

    TIxCache loaded;
    load(loaded);
    ASSERT_EQ(loaded.count(), 3);
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        const TIxEntry* was = built.find(name);
        const TIxEntry* now = loaded.find(name);
        ASSERT_TRUE(now && now->wide.present()) << name;
        ASSERT_EQ(now->blocks.size(), was->blocks.size()) << name;
        EXPECT_EQ(now->size, was->size) << name;
        const int32_t words = IxWideRows::wordsPerRow(now->blocks.size());
        for (int r = 0; r < kWideBits; ++r)
            ASSERT_TRUE(std::equal(now->wide.row(r), now->wide.row(r) + words, was->wide.row(r)))
                << name << " row " << r;
    }
    const TIxEntry& entry = *loaded.find("a.txt");
    const std::string text = longText();
    for (int line : {0, 63, 64, 300, 399}) {
        const std::string word = std::string(formatText("word%04d", line).view());
        const std::vector<int64_t> got = candidates(entry, word);
        const int64_t holder = blockAt(entry, int64_t(text.find(word)));
        EXPECT_NE(std::find(got.begin(), got.end(), holder), got.end()) << word;
        EXPECT_LE(got.size(), 3u) << word;  // the rows do filter
    }
    EXPECT_TRUE(candidates(entry, "absent phrase").empty());
}

// Every rows file that does not fit leaves the index file read in full, its
// entries without rows; looking them up builds them again, and the rows
// file written then is sound.
TEST_F(RowsFile, DamagedOrStaleRowsFilesAreIgnoredAndRebuilt) {
    using Damage = std::function<void(const std::string& rows, const std::string& index)>;
    auto patch = [](const std::string& path, std::streamoff at, std::string bytes) {
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(at);
        f.write(bytes.data(), std::streamsize(bytes.size()));
    };
    TIxCache first;
    load(first);
    const std::string firstName = first.names().at(0).c_str();
    // The fields of the first table entry after its name.
    const std::streamoff entryFields = 56 + 4 + std::streamoff(firstName.size()) + 4 + 8;
    const std::string pristineRows = tmp.read(rowsFile().substr(tmp.path().size() + 1));
    // The first entry's rows begin where the row ends.
    const std::string rowWords = pristineRows.substr(48, 8);
    ASSERT_GT(first.find(firstName)->blocks.size(), 0);
    const struct {
        const char* what;
        Damage damage;
    } cases[] = {
        {"sound", nullptr},
        {"missing", [](auto& rows, auto&) { fs::remove(rows); }},
        {"not a rows file", [&](auto& rows, auto&) { patch(rows, 0, "QFRX"); }},
        {"other version", [&](auto& rows, auto&) { patch(rows, 4, u32le(kRowsFileVersion + 1)); }},
        {"other width", [&](auto& rows, auto&) { patch(rows, 8, u32le(kWideBits / 2)); }},
        {"index file rewritten", [](auto&, auto& index) { setWriteTime(index, 1500000000); }},
        {"cut in the table", [](auto& rows, auto&) { fs::resize_file(rows, 70); }},
        {"cut in the rows",
         [](auto& rows, auto&) { fs::resize_file(rows, fs::file_size(rows) - 8); }},
        {"blocks past the index file",
         [&](auto& rows, auto&) { patch(rows, entryFields + 8, u32le(1u << 30)); }},
        {"rows past the row", [&](auto& rows, auto&) { patch(rows, entryFields + 16, rowWords); }},
    };

    const std::string pristineIndex = tmp.read(indexFile().substr(tmp.path().size() + 1));
    const auto indexTime = fs::last_write_time(indexFile());
    for (const auto& c : cases) {
        tmp.write(rowsFile().substr(tmp.path().size() + 1), pristineRows);
        tmp.write(indexFile().substr(tmp.path().size() + 1), pristineIndex);
        fs::last_write_time(indexFile(), indexTime);
        if (c.damage) c.damage(rowsFile(), indexFile());
        {
            CaptureSink sink;
            TIxCache cache;
            load(cache);
            EXPECT_EQ(texts(sink), Texts{}) << c.what;
            ASSERT_EQ(cache.count(), 3) << c.what;
            cache.forEach([&](const TIxEntry& e) {
                EXPECT_EQ(e.wide.present(), !c.damage) << c.what << " " << e.name.c_str();
                EXPECT_EQ(e.blocks.size(), first.find(e.name.view())->blocks.size()) << c.what;
            });
        }
        build();
        TIxCache again;
        load(again);
        again.forEach([&](const TIxEntry& e) { EXPECT_TRUE(e.wide.present()) << c.what; });
        EXPECT_FALSE(candidates(*again.find("a.txt"), "word0100").empty()) << c.what;
    }
}

// With a sound rows file the index file is not read whole: a block is read
// when a search selects it, a row when a search asks for it. A row that
// cannot be read back then admits every block.
TEST_F(RowsFile, BlocksAndRowsStayOnDiskUntilASearchAsks) {
    TIxCache cache;
    load(cache);
    ASSERT_TRUE(cache.loadedFile);
    EXPECT_EQ(cache.loadedFile->heldAt(0, 1), nullptr);
    const TIxEntry& entry = *cache.find("a.txt");
    const std::vector<TIxBlock> all = entry.blocks.all();
    ASSERT_GT(all.size(), 65u);
    std::vector<uint64_t> mask(size_t(IxWideRows::wordsPerRow(int64_t(all.size()))));
    std::vector<int32_t> expected;
    for (size_t i : {size_t(0), size_t(5), size_t(63), size_t(64), all.size() - 1}) {
        mask[i / 64] |= uint64_t(1) << (i % 64);
        expected.push_back(all[i].pos);
    }
    std::vector<int32_t> got;
    EXPECT_TRUE(entry.blocks.forEachSelected(mask, [&](const TIxBlock& block) {
        got.push_back(block.pos);
        return true;
    }));
    EXPECT_EQ(got, expected);
    const size_t admitted = candidates(entry, "word0100").size();
    EXPECT_TRUE(admitted > 0 && admitted <= 3) << admitted;
    fs::resize_file(rowsFile(), 56);
    EXPECT_EQ(candidates(entry, "word0399").size(), all.size());
}

// A folder line of any length the index takes is read before the rows.
TEST(RowsFileHeader, LongFolderLinesAreReadBeforeTheRows) {
    TempDir tmp;
    const std::string ix = tmp.path("docs.qfd");
    for (size_t length : {size_t(9), size_t(4078), size_t(4079), size_t(9000)}) {
        const std::string folder = "/" + std::string(length - 1, 'd');
        tmp.write("docs.qfd", header(3) + folder + "\r\n" +
                                  entryRecord("a.txt", 7, 300, blockRecord(0, 300, 1, 0)) +
                                  entryRecord("b.txt", 8, 0, "") + "Z");
        {
            TIxCache whole;
            loadIndexFile(whole, "/src/a.txt", ix);
            whole.dirty = true;  // written again, now with its rows file
            ASSERT_TRUE(whole.writeBack()) << length;
        }
        TIxCache cache;
        loadIndexFile(cache, "/src/a.txt", ix);
        EXPECT_EQ(cache.count(), 2) << length;
        EXPECT_EQ(std::string(cache.dir.view()), folder) << length;
        ASSERT_TRUE(cache.loadedFile) << length;
        EXPECT_EQ(cache.loadedFile->heldAt(0, 1), nullptr) << length;
        ASSERT_TRUE(cache.find("a.txt")) << length;
        EXPECT_EQ(cache.find("a.txt")->blocks.all().at(0).len, 300) << length;
    }
}

}  // namespace
