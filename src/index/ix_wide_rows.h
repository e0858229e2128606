// The wide filter of one entry's blocks, bit-sliced: row r holds bit r of
// every block's wide signature, block i at bit i % 64 of word i / 64. A
// search ANDs only the rows of its own grams, so it reads a few words per
// file however wide the filter is.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "index/gram_signature.h"

// Rows of many entries that lie in a file, read the first time they are
// asked for; entries take their words of each row at their own offset.
class IxRowSource {
public:
    virtual ~IxRowSource() = default;
    // Row r (0 to kWideBits - 1), valid while the source lives.
    virtual const uint64_t* row(int r) = 0;
};

class IxWideRows {
public:
    IxWideRows() = default;
    IxWideRows(IxWideRows&&) = default;  // the held rows move with their vector
    IxWideRows& operator=(IxWideRows&&) = default;
    IxWideRows(const IxWideRows&) = delete;
    IxWideRows& operator=(const IxWideRows&) = delete;

    // Entries with more blocks keep no rows (their search tests only the
    // stored signatures): rows take 128 bytes per block in memory, 64 MiB at most.
    static constexpr int64_t kMaxBlocks = int64_t(1) << 19;

    static int32_t wordsPerRow(int64_t blocks) { return int32_t((blocks + 63) / 64); }
    static int64_t bytesFor(int64_t blocks) { return int64_t(kWideBits) * wordsPerRow(blocks) * 8; }

    bool present() const { return present_; }
    int64_t blocks() const { return blocks_; }
    void clear();
    // Rows held by the entry (wordsPerRow(blocks) words each).
    void adopt(std::vector<uint64_t> rows, int64_t blocks);
    // Rows read from source, from word firstWord of each.
    void view(std::shared_ptr<IxRowSource> source, int64_t firstWord, int64_t blocks);
    const uint64_t* row(int r) const {
        return source_ ? source_->row(r) + first_ : rows_ + int64_t(r) * stride_;
    }

    // The blocks whose rows hold every bit of wide, into mask (one bit per
    // block); false when no block does.
    bool candidates(const WideGrams& wide, std::vector<uint64_t>& mask) const;

private:
    std::vector<uint64_t> own_;
    std::shared_ptr<IxRowSource> source_;
    int64_t first_ = 0;  // of this entry's words in the source's rows
    const uint64_t* rows_ = nullptr;
    int64_t blocks_ = 0;
    int64_t stride_ = 0;
    bool present_ = false;
};

// Gathers the rows of an entry while its blocks are built: 64 blocks at a
// time in a tile of one word per row, so every gram costs one OR.
class IxWideBuilder {
public:
    IxWideBuilder();
    // Adds a block made of the grams given packed (see forEachGram).
    void addBlock(std::span<const uint32_t> grams);
    // The rows of the blocks ended so far; none when there are too many.
    IxWideRows finish();

private:
    void endBlock();

    std::vector<uint64_t> tiles_;  // kWideBits words per 64 blocks, tile after tile
    std::vector<uint64_t> tile_;
    uint64_t column_ = 1;
    int64_t blocks_ = 0;
};
