// The in-memory form of one index file: the entries of the files of one
// source folder, each with its record blocks and their gram signatures.
// A search worker keeps one TIxCache and moves it from folder to folder; the
// deletion worker loads one per index file it prunes.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "index/ix_block_list.h"
#include "index/ix_wide_rows.h"
#include "support/ptr_array.h"

// The index data of one source file.
struct TIxEntry {
    static constexpr uint32_t kUnknownSize = 0xFFFFFFFFu;

    LStr name;                     // file name without folder
    uint64_t lastWrite = 0;        // 100 ns units since 1601-01-01 UTC
    uint32_t size = kUnknownSize;  // low 32 bits of the file size
    IxBlockList blocks;            // in text order
    IxWideRows wide;               // the blocks' wide filter, when kept

    // Whether the entry has what a search needs beyond its blocks.
    bool complete() const { return wide.present() || blocks.size() > IxWideRows::kMaxBlocks; }
};

class TIxCache {
public:
    static constexpr int32_t kBuckets = 256;

    // indexFolder is the folder index files live in (kept in its absolute
    // form); writing creates it (with its marker) when it is missing.
    explicit TIxCache(std::string_view indexFolder = {});
    // Writes the cache back when it is dirty.
    ~TIxCache();
    TIxCache(const TIxCache&) = delete;
    TIxCache& operator=(const TIxCache&) = delete;

    LStr dir;            // source folder (the folder line of the file)
    LStr ixPath;         // the index file held
    bool dirty = false;  // entries were added or removed since the load

    const LStr& indexFolder() const { return indexFolder_; }

    TIxEntry* find(std::string_view name) const;
    // Adds an entry, replacing one of the same name; returns it.
    TIxEntry& add(std::unique_ptr<TIxEntry> entry);
    // Removes (and frees) the entry of name; false when there was none.
    bool remove(std::string_view name);
    int32_t count() const { return count_; }
    // Drops every entry and forgets dir and ixPath (dirty stays as it is).
    void clear();

    // Calls f(entry) for each entry, bucket by bucket.
    template <class F>
    void forEach(F&& f) const {
        for (const auto& bucket : buckets_)
            for (const auto& entry : bucket) f(*entry);
    }
    // The names of all entries (a copy, so entries may be removed meanwhile).
    std::vector<LStr> names() const;

    // Writes the cache to ixPath when it is dirty and clears dirty; false
    // when a write was due and failed (it was reported).
    bool writeBack();

    // The file that blocks of entries built for this index file spill to,
    // made on first use; null when it cannot be made.
    std::shared_ptr<IxBlockFile> spillFile();
    // The folder of the last source looked up as typed, its absolute form
    // and its index file: a search looks up the files of a folder one
    // after another.
    struct LastFolder {
        LStr typed, absolute, ixPath;
    } lastFolder;
    // The index file loaded, for entries whose blocks stay in it.
    std::shared_ptr<IxBlockFile> loadedFile;

private:
    static int32_t bucketOf(std::string_view name);

    LStr indexFolder_;
    std::vector<LOwnedArray<TIxEntry>> buckets_;
    int32_t count_ = 0;
    std::shared_ptr<IxBlockFile> spill_;
};
