// The record blocks of one index entry. A file's blocks grow with its size
// (one per 200 to 300 bytes of text), so beyond a few hundred they are not
// held one by one: they stay in their stored byte form, either in the index
// file they were loaded from (read where a search selects a block, or held
// whole when the file had to be read in full) or in a spill file the cache
// writes while it builds entries (read back in chunks).
#pragma once
#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "index/gram_signature.h"
#include "platform/mapped_file.h"
#include "text/file_stream.h"

// A run of whole records of a file's text.
struct TIxBlock {
    StoredSignature sig;  // complemented: a set bit means no gram of the block has it
    int32_t pos = 0;      // text offset of the first record
    int32_t len = 0;      // bytes of the block's records
    int32_t line = 0;     // line at which the block begins (1-based)
};

// Stored form of a block: 's', pos, len, line (little-endian 32-bit), signature.
inline constexpr int32_t kStoredBlockBytes = 1 + 3 * 4 + kSignatureBytes;

void storeBlock(const TIxBlock& block, char* out);
// False when the bytes are no block a build can make (a wrong lead byte, a
// range outside the 32-bit text).
bool parseStoredBlock(const char* bytes, TIxBlock& block);

// A file of stored blocks read at given offsets: an index file read whole
// into memory, an index file left on disk and read where asked, or a spill
// file that is appended to. A spill file's name is removed as soon as it is
// open, so it never outlives the process.
class IxBlockFile {
public:
    // The whole file at path in memory, mapped (read in one go where it
    // cannot be); null when it does not open.
    static std::shared_ptr<IxBlockFile> readWhole(std::string_view path);
    // The regular file at path, read only where asked; null when it does
    // not open.
    static std::shared_ptr<IxBlockFile> openForReading(std::string_view path);
    static std::shared_ptr<IxBlockFile> createSpill(std::string_view path);

    // The held bytes from offset when count of them are there; null for a
    // file not held or a range past the end.
    const char* heldAt(int64_t offset, int64_t count) const {
        if (offset < 0 || count < 0 || offset + count > heldSize_) return nullptr;
        return heldBytes_ + offset;
    }
    int64_t heldSize() const { return heldSize_; }
    // The size and write time of an index file as it was opened.
    int64_t fileSize() const { return fileSize_; }
    uint64_t writeTime() const { return writeTime_; }
    // Whether the index file holds count bytes from offset.
    bool contains(int64_t offset, int64_t count) const {
        return offset >= 0 && count >= 0 && offset <= fileSize_ - count;
    }

    // Appends to a spill file; false when not every byte was written.
    bool append(const char* bytes, int32_t count);
    int64_t end() const { return end_; }
    // Reads count bytes at offset; false when they are not all there. Safe
    // on several threads at once.
    bool readAt(int64_t offset, char* out, int32_t count) const;

private:
    std::unique_ptr<char[]> held_;
    std::shared_ptr<MappedFile> mapped_;  // or the file mapped
    const char* heldBytes_ = nullptr;     // of held_ or mapped_
    int64_t heldSize_ = 0;
    int64_t fileSize_ = 0;
    uint64_t writeTime_ = 0;
    LFile reader_;
    LFile writer_;
    int64_t end_ = 0;
};

// Hands out the spill file of the cache an entry is built for, made on
// first need. Null when it cannot be had (built blocks then stay in memory).
using IxBlockFileSource = std::function<std::shared_ptr<IxBlockFile>()>;

class IxBlockList {
public:
    // Blocks held in memory before they go to a spill file (32 KiB, the
    // blocks of about 128 KiB of text): a folder of many middling files must
    // not fill memory either.
    static constexpr size_t kMemoryBlocks = 512;

    int64_t size() const { return stored_ + int64_t(memory_.size()); }
    bool empty() const { return size() == 0; }
    // Blocks held in memory (the others are in a file).
    size_t inMemory() const { return memory_.size(); }
    void clear();
    void push_back(const TIxBlock& block) { memory_.push_back(block); }
    // Moves the blocks held in memory to the end of spill when there are
    // kMemoryBlocks of them. The entry's stored blocks must end where the
    // spill ends (entries are built one at a time). False when the spill
    // could not take them (they then stay in memory).
    bool spillIfFull(const std::shared_ptr<IxBlockFile>& spill);
    // The list becomes count stored blocks at offset of file (plus nothing).
    void setStored(std::shared_ptr<IxBlockFile> file, int64_t offset, int64_t count);

    // Calls f(block) in text order while it returns true. False when the
    // stored blocks could not be read back (or are damaged).
    template <class F>
    bool forEach(F&& f) const {
        if (const char* held =
                stored_ ? file_->heldAt(offset_, stored_ * kStoredBlockBytes) : nullptr)
            return forEachHeld(held, f);
        std::vector<TIxBlock> chunk;
        for (int64_t done = 0; done < stored_;) {
            if (!readStored(done, chunk)) return false;
            for (const TIxBlock& block : chunk)
                if (!f(block)) return true;
            done += int64_t(chunk.size());
        }
        for (const TIxBlock& block : memory_)
            if (!f(block)) return true;
        return true;
    }
    // Calls f(block) in text order for the blocks whose bit is set in mask
    // (block i at bit i % 64 of word i / 64) while it returns true. Blocks
    // held in memory are reached without parsing the others.
    template <class F>
    bool forEachSelected(const std::vector<uint64_t>& mask, F&& f) const {
        const int64_t count = size();
        const char* held = stored_ && !memory_.size()
                               ? file_->heldAt(offset_, stored_ * kStoredBlockBytes)
                               : nullptr;
        // Blocks left on disk are read word by word of the mask: the
        // selected blocks of one word in one read.
        const bool onDisk = stored_ && !held && !memory_.size();
        if (!held && stored_ && !onDisk) {
            int64_t i = 0;
            return forEach([&](const TIxBlock& block) {
                const int64_t at = i++;
                return !selected(mask, at) || f(block);
            });
        }
        TIxBlock block;
        char word[64 * kStoredBlockBytes];
        for (size_t w = 0; w < mask.size(); ++w) {
            if (onDisk && mask[w] && !readSelectedOfWord(w, mask[w], word)) return false;
            for (uint64_t bits = mask[w]; bits; bits &= bits - 1) {
                const int64_t i = int64_t(w) * 64 + std::countr_zero(bits);
                if (i >= count) return true;
                if (onDisk) {
                    const int64_t first = int64_t(w) * 64 + std::countr_zero(mask[w]);
                    if (!parseStoredBlock(word + (i - first) * kStoredBlockBytes, block))
                        return false;
                } else if (held) {
                    if (!parseStoredBlock(held + i * kStoredBlockBytes, block)) return false;
                } else {
                    block = memory_[size_t(i)];
                }
                if (!f(block)) return true;
            }
        }
        return true;
    }
    // Hands the stored form of every block to out(bytes, count) in chunks.
    template <class Out>
    bool forEachStoredChunk(Out&& out) const {
        std::vector<char> bytes;
        for (int64_t done = 0; done < stored_;) {
            const int32_t n = chunkAt(done);
            bytes.resize(size_t(n) * kStoredBlockBytes);
            if (!file_->readAt(offset_ + done * kStoredBlockBytes, bytes.data(),
                               int32_t(bytes.size())))
                return false;
            out(bytes.data(), int32_t(bytes.size()));
            done += n;
        }
        char one[kStoredBlockBytes];
        for (const TIxBlock& block : memory_) {
            storeBlock(block, one);
            out(one, kStoredBlockBytes);
        }
        return true;
    }
    // Every block in one vector (for small lists and checks).
    std::vector<TIxBlock> all() const;

private:
    static constexpr int32_t kChunkBlocks = 1024;

    // forEach over blocks held in memory: no copy of the stored bytes.
    template <class F>
    bool forEachHeld(const char* held, F& f) const {
        TIxBlock block;
        for (int64_t i = 0; i < stored_; ++i, held += kStoredBlockBytes) {
            if (!parseStoredBlock(held, block)) return false;
            if (!f(block)) return true;
        }
        for (const TIxBlock& inMemory : memory_)
            if (!f(inMemory)) return true;
        return true;
    }

    // Reads the stored blocks of mask word w from its first selected block to
    // its last one (within the list) into out.
    bool readSelectedOfWord(size_t w, uint64_t bits, char* out) const {
        const int64_t first = int64_t(w) * 64 + std::countr_zero(bits);
        const int64_t last = std::min(int64_t(w) * 64 + 63 - std::countl_zero(bits), stored_ - 1);
        if (first > last) return true;
        return file_->readAt(offset_ + first * kStoredBlockBytes, out,
                             int32_t(last - first + 1) * kStoredBlockBytes);
    }
    static bool selected(const std::vector<uint64_t>& mask, int64_t i) {
        return size_t(i / 64) < mask.size() && (mask[size_t(i / 64)] >> (i % 64) & 1);
    }
    int32_t chunkAt(int64_t done) const {
        return int32_t(std::min<int64_t>(kChunkBlocks, stored_ - done));
    }
    bool readStored(int64_t first, std::vector<TIxBlock>& chunk) const;

    std::shared_ptr<IxBlockFile> file_;  // holds the stored blocks
    int64_t offset_ = 0;                 // of the first stored block in file_
    int64_t stored_ = 0;                 // blocks in file_, before memory_
    std::vector<TIxBlock> memory_;
};
