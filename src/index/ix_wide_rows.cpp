#include "index/ix_wide_rows.h"

#include <algorithm>
#include <bit>

void IxWideRows::clear() {
    own_.clear();
    own_.shrink_to_fit();
    source_.reset();
    first_ = 0;
    rows_ = nullptr;
    blocks_ = 0;
    stride_ = 0;
    present_ = false;
}

void IxWideRows::adopt(std::vector<uint64_t> rows, int64_t blocks) {
    clear();
    own_ = std::move(rows);
    rows_ = own_.data();
    blocks_ = blocks;
    stride_ = wordsPerRow(blocks);
    present_ = true;
}

void IxWideRows::view(std::shared_ptr<IxRowSource> source, int64_t firstWord, int64_t blocks) {
    clear();
    source_ = std::move(source);
    first_ = firstWord;
    blocks_ = blocks;
    stride_ = wordsPerRow(blocks);
    present_ = true;
}

bool IxWideRows::candidates(const WideGrams& wide, std::vector<uint64_t>& mask) const {
    const int32_t n = wordsPerRow(blocks_);
    mask.assign(size_t(n), ~uint64_t(0));
    if (n == 0) return false;
    // Bits past the last block are never set in a row, so they drop out.
    uint64_t any = ~uint64_t(0);
    for (int w = 0; w < kWideWords && any; ++w) {
        for (uint64_t bits = wide.words[size_t(w)]; bits && any; bits &= bits - 1) {
            const uint64_t* r = row(w * 64 + std::countr_zero(bits));
            any = 0;
            for (int32_t i = 0; i < n; ++i) any |= mask[size_t(i)] &= r[i];
        }
    }
    if (n > 0 && blocks_ % 64) mask.back() &= (uint64_t(1) << (blocks_ % 64)) - 1;
    return std::any_of(mask.begin(), mask.end(), [](uint64_t m) { return m != 0; });
}

IxWideBuilder::IxWideBuilder() : tile_(kWideBits) {}

void IxWideBuilder::addBlock(std::span<const uint32_t> grams) {
    // Locals: stores through the tile could otherwise be the column's.
    uint64_t* tile = tile_.data();
    const uint64_t column = column_;
    for (uint32_t packed : grams) {
        int bits[kWideHashes];
        wideBitsOf(packed, bits);
        for (int b : bits) tile[b] |= column;
    }
    endBlock();
}

void IxWideBuilder::endBlock() {
    ++blocks_;
    column_ <<= 1;
    if (column_ != 0) return;
    if (blocks_ <= IxWideRows::kMaxBlocks) tiles_.insert(tiles_.end(), tile_.begin(), tile_.end());
    std::fill(tile_.begin(), tile_.end(), 0);
    column_ = 1;
}

IxWideRows IxWideBuilder::finish() {
    IxWideRows out;
    if (blocks_ > IxWideRows::kMaxBlocks) return out;
    if (column_ != 1) tiles_.insert(tiles_.end(), tile_.begin(), tile_.end());
    const int32_t n = IxWideRows::wordsPerRow(blocks_);
    std::vector<uint64_t> rows(size_t(n) * kWideBits);
    for (int32_t t = 0; t < n; ++t)
        for (int r = 0; r < kWideBits; ++r)
            rows[size_t(r) * n + t] = tiles_[size_t(t) * kWideBits + r];
    out.adopt(std::move(rows), blocks_);
    return out;
}
