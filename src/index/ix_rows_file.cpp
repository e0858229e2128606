// Reading and writing rows files. The rows file is mapped, not read: a
// search touches only the rows of its grams, and the rows of one folder's
// files lie side by side, so it touches few pages.
#include "index/ix_rows_file.h"

#include <algorithm>
#include <string>

#include "index/ix_cache.h"
#include "index/ix_paths.h"
#include "platform/file_system.h"
#include "platform/mapped_file.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "text/file_stream.h"

namespace {

constexpr char kMagic[4] = {'Q', 'F', 'R', 'W'};
constexpr int64_t kHeaderSize = 56;
constexpr uint64_t kNoRows = ~uint64_t(0);

void putU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(char(v >> (8 * i)));
}
void putU64(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(char(v >> (8 * i)));
}

// Little-endian fields of the mapped bytes; a read past the end fails it
// and every later check.
class Fields {
public:
    Fields(const char* bytes, int64_t size) : bytes_(bytes), size_(size) {}
    bool ok() const { return ok_; }
    uint64_t u(int width) {
        if (!ok_ || size_ - pos_ < width) return ok_ = false, 0;
        uint64_t v = 0;
        for (int i = 0; i < width; ++i) v |= uint64_t(uint8_t(bytes_[pos_ + i])) << (8 * i);
        pos_ += width;
        return v;
    }
    std::string_view take(uint64_t n) {
        if (!ok_ || uint64_t(size_ - pos_) < n) return ok_ = false, std::string_view();
        pos_ += int64_t(n);
        return std::string_view(bytes_ + pos_ - int64_t(n), size_t(n));
    }

private:
    const char* bytes_;
    int64_t size_;
    int64_t pos_ = 0;
    bool ok_ = true;
};

struct RowsHeader {
    uint32_t entries = 0;
    int64_t rowsAt = 0;
    int64_t rowWords = 0;
};

// The header; false when it is not this layout, not for the index file as
// it is now, or its rows do not fit the file.
bool readHeader(Fields& in, const TIxCache& cache, int64_t fileSize, RowsHeader& h) {
    int64_t size = 0;
    uint64_t writeTime = 0;
    if (!fsRegularFileInfo(cache.ixPath.view(), size, writeTime)) return false;
    const bool layout = in.take(4) == std::string_view(kMagic, 4) && in.u(4) == kRowsFileVersion &&
                        in.u(4) == kWideBits && in.u(4) == kWideHashes;
    const bool current = in.u(8) == uint64_t(size) && in.u(8) == writeTime;
    h.entries = uint32_t(in.u(4));
    in.u(4);
    const uint64_t rowsAt = in.u(8), rowWords = in.u(8);
    if (!in.ok() || !layout || !current || rowsAt % 8 || rowsAt > uint64_t(fileSize) ||
        rowWords > uint64_t(fileSize) / 8 / kWideBits ||
        uint64_t(fileSize) - rowsAt < rowWords * 8 * kWideBits)
        return false;
    h.rowsAt = int64_t(rowsAt);
    h.rowWords = int64_t(rowWords);
    return true;
}

// One table row as an entry whose blocks stay in the index file; null
// when it does not fit the index file or the rows.
std::unique_ptr<TIxEntry> readEntry(Fields& in, const TIxCache& cache, const RowsHeader& h,
                                    const std::shared_ptr<MappedFile>& map) {
    auto entry = std::make_unique<TIxEntry>();
    entry->name.assign(in.take(in.u(4)));
    entry->size = uint32_t(in.u(4));
    entry->lastWrite = in.u(8);
    const uint64_t blocks = in.u(8), blocksAt = in.u(8), wordAt = in.u(8);
    if (!in.ok() || blocks > uint64_t(INT32_MAX)) return nullptr;
    // The blocks must lie in the index file. They are not looked at: the
    // index file is the one the table was written for, and a search that
    // skips the file never reads them.
    const int64_t bytes = int64_t(blocks) * kStoredBlockBytes;
    if (!cache.loadedFile->heldAt(int64_t(blocksAt), bytes + 1)) return nullptr;
    if (blocks > 0) entry->blocks.setStored(cache.loadedFile, int64_t(blocksAt), int64_t(blocks));
    if (wordAt == kNoRows) return entry;
    const int32_t words = IxWideRows::wordsPerRow(int64_t(blocks));
    if (blocks > uint64_t(IxWideRows::kMaxBlocks) || wordAt > uint64_t(h.rowWords) ||
        uint64_t(h.rowWords) - wordAt < uint64_t(words))
        return nullptr;
    const auto* rows = reinterpret_cast<const uint64_t*>(map->data() + h.rowsAt) + wordAt;
    entry->wide.view(map, rows, int64_t(blocks), h.rowWords);
    return entry;
}

std::string headerAndTable(const TIxCache& cache, const std::vector<int64_t>& blocksAt,
                           int64_t size, uint64_t writeTime, int64_t& rowWords) {
    std::string table;
    rowWords = 0;
    size_t i = 0;
    cache.forEach([&](const TIxEntry& entry) {
        putU32(table, uint32_t(entry.name.length()));
        table.append(entry.name.view());
        putU32(table, entry.size);
        putU64(table, entry.lastWrite);
        putU64(table, uint64_t(entry.blocks.size()));
        putU64(table, uint64_t(blocksAt[i++]));
        const bool rows = entry.wide.present();
        putU64(table, rows ? uint64_t(rowWords) : kNoRows);
        if (rows) rowWords += IxWideRows::wordsPerRow(entry.wide.blocks());
    });
    const int64_t rowsAt = (kHeaderSize + int64_t(table.size()) + 7) & ~int64_t(7);
    std::string out(kMagic, 4);
    putU32(out, kRowsFileVersion);
    putU32(out, kWideBits);
    putU32(out, kWideHashes);
    putU64(out, uint64_t(size));
    putU64(out, writeTime);
    putU32(out, uint32_t(cache.count()));
    putU32(out, 0);
    putU64(out, uint64_t(rowsAt));
    putU64(out, uint64_t(rowWords));
    out.append(table);
    out.resize(size_t(rowsAt), '\0');
    return out;
}

constexpr size_t kWriteChunk = size_t(1) << 20;

bool writeAll(LFile& file, const std::string& bytes) {
    return file.write(bytes.data(), int32_t(bytes.size())) == int32_t(bytes.size());
}

bool writeTo(std::string_view path, const TIxCache& cache, const IxFileStamp& stamp,
             const std::vector<int64_t>& blocksAt) {
    if (size_t(cache.count()) != blocksAt.size()) return false;
    int64_t rowWords = 0;
    LFile file(path, 'w', false, true);
    if (!file.isOpen() ||
        !writeAll(file, headerAndTable(cache, blocksAt, stamp.size, stamp.writeTime, rowWords)))
        return false;
    // A row of a folder of small files is a few hundred bytes: rows go out
    // gathered in large writes, not one call each.
    std::string rows;
    rows.reserve(2 * kWriteChunk);
    for (int r = 0; r < kWideBits; ++r) {
        cache.forEach([&](const TIxEntry& entry) {
            if (!entry.wide.present()) return;
            const auto* words = reinterpret_cast<const char*>(entry.wide.row(r));
            rows.append(words, size_t(IxWideRows::wordsPerRow(entry.wide.blocks())) * 8);
        });
        if (rows.size() < kWriteChunk && r + 1 < kWideBits) continue;
        if (!writeAll(file, rows)) return false;
        rows.clear();
    }
    file.flush();
    return true;
}

}  // namespace

bool loadEntriesFromRows(TIxCache& cache) {
    const LStr path = ixRowsFileOf(cache.ixPath.view());
    auto map = cache.loadedFile ? MappedFile::open(path.view()) : nullptr;
    if (!map) return false;
    Fields in(map->data(), map->size());
    RowsHeader h;
    bool ok = readHeader(in, cache, map->size(), h);
    for (uint32_t i = 0; ok && i < h.entries; ++i) {
        auto entry = readEntry(in, cache, h, map);
        ok = entry && !cache.find(entry->name.view());
        if (ok) cache.add(std::move(entry));
    }
    if (ok) return true;
    debugLog("rows file ignored [%s]\n", path.c_str());
    const LStr dir = cache.dir, ixPath = cache.ixPath;
    const auto loaded = cache.loadedFile;
    cache.clear();
    cache.dir = dir;
    cache.ixPath = ixPath;
    cache.loadedFile = loaded;
    return false;
}

void writeRowsFile(const TIxCache& cache, const IxFileStamp& stamp,
                   const std::vector<int64_t>& blocksAt) {
    const LStr path = ixRowsFileOf(cache.ixPath.view());
    const LStr temporary = temporaryPathFor(path);
    if (writeTo(temporary.view(), cache, stamp, blocksAt) && replaceFile(temporary, path)) return;
    removeFile(temporary, false);
    removeFile(path, false);
}
