// Reading and writing rows files. Reading takes the header and the table,
// then a row only when a search asks for it: a search reads the rows of its
// own grams, and each row holds the words of every entry of the folder side
// by side, so one read serves them all.
#include "index/ix_rows_file.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "index/ix_cache.h"
#include "index/ix_paths.h"
#include "platform/file_handle.h"
#include "platform/file_system.h"
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

// Little-endian fields of bytes read; a read past the end fails it
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

// The rows file read where asked; a row is read once and kept.
class RowsReader : public IxRowSource {
public:
    explicit RowsReader(std::string_view path) : file_(path, 'r', false) {
        // The open's own stat gives size and time: no second one.
        size_ = file_.isOpen() ? file_.opened().size : -1;
        writeTime_ = file_.opened().writeTime;
    }
    bool isOpen() const { return size_ >= 0; }
    int64_t size() const { return size_; }

    bool readAt(int64_t offset, char* out, int64_t count) const {
        return readDescriptorExactlyAt(file_.handle(), out, count, offset);
    }
    void setRows(int64_t rowsAt, int64_t rowWords) {
        rowsAt_ = rowsAt;
        rowWords_ = rowWords;
    }
    const uint64_t* row(int r) override {
        // Search threads ask for the same few rows for every file of the
        // folder: a row read once is handed out without the lock.
        if (const uint64_t* ready = ready_[size_t(r)].load(std::memory_order_acquire)) return ready;
        std::lock_guard lock(mutex_);
        std::unique_ptr<uint64_t[]>& held = rows_[size_t(r)];
        if (held) return held.get();
        held = std::make_unique_for_overwrite<uint64_t[]>(size_t(std::max<int64_t>(rowWords_, 1)));
        const int64_t bytes = rowWords_ * 8;
        // A row that cannot be read back admits every block.
        if (!readAt(rowsAt_ + r * bytes, reinterpret_cast<char*>(held.get()), bytes))
            std::fill(held.get(), held.get() + rowWords_, ~uint64_t(0));
        ready_[size_t(r)].store(held.get(), std::memory_order_release);
        return held.get();
    }

private:
    LFile file_;
    int64_t size_ = 0;
    uint64_t writeTime_ = 0;
    int64_t rowsAt_ = 0;
    int64_t rowWords_ = 0;
    std::mutex mutex_;
    std::unique_ptr<uint64_t[]> rows_[kWideBits];
    std::atomic<const uint64_t*> ready_[kWideBits] = {};  // rows_ once read
};

// The header; false when it is not this layout, not for the index file as
// it is now, or its rows do not fit the file.
bool readHeader(Fields& in, const TIxCache& cache, int64_t fileSize, RowsHeader& h) {
    // The index file as it was opened.
    const int64_t size = cache.loadedFile->fileSize();
    const uint64_t writeTime = cache.loadedFile->writeTime();
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
                                    const std::shared_ptr<RowsReader>& rows) {
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
    if (!cache.loadedFile->contains(int64_t(blocksAt), bytes + 1)) return nullptr;
    if (blocks > 0) entry->blocks.setStored(cache.loadedFile, int64_t(blocksAt), int64_t(blocks));
    if (wordAt == kNoRows) return entry;
    const int32_t words = IxWideRows::wordsPerRow(int64_t(blocks));
    if (blocks > uint64_t(IxWideRows::kMaxBlocks) || wordAt > uint64_t(h.rowWords) ||
        uint64_t(h.rowWords) - wordAt < uint64_t(words))
        return nullptr;
    entry->wide.view(rows, int64_t(wordAt), int64_t(blocks));
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
    // The entries with rows, once: every row visits them in the same order.
    std::vector<const IxWideRows*> withRows;
    cache.forEach([&](const TIxEntry& entry) {
        if (entry.wide.present()) withRows.push_back(&entry.wide);
    });
    for (int r = 0; r < kWideBits; ++r) {
        for (const IxWideRows* wide : withRows) {
            const auto* words = reinterpret_cast<const char*>(wide->row(r));
            rows.append(words, size_t(IxWideRows::wordsPerRow(wide->blocks())) * 8);
        }
        if (rows.size() < kWriteChunk && r + 1 < kWideBits) continue;
        if (!writeAll(file, rows)) return false;
        rows.clear();
    }
    file.flush();
    return true;
}

// The header and the table, read; the rows stay in the file.
bool readEntries(TIxCache& cache, const std::shared_ptr<RowsReader>& rows) {
    char head[kHeaderSize];
    if (!rows->isOpen() || !rows->readAt(0, head, kHeaderSize)) return false;
    Fields headIn(head, kHeaderSize);
    RowsHeader h;
    if (!readHeader(headIn, cache, rows->size(), h)) return false;
    rows->setRows(h.rowsAt, h.rowWords);
    // The table lies between the header and the rows.
    std::string table(size_t(std::max<int64_t>(h.rowsAt - kHeaderSize, 0)), '\0');
    if (!rows->readAt(kHeaderSize, table.data(), int64_t(table.size()))) return false;
    Fields in(table.data(), int64_t(table.size()));
    for (uint32_t i = 0; i < h.entries; ++i) {
        auto entry = readEntry(in, cache, h, rows);
        if (!entry || cache.find(entry->name.view())) return false;
        cache.add(std::move(entry));
    }
    return true;
}

}  // namespace

bool loadEntriesFromRows(TIxCache& cache) {
    const LStr path = ixRowsFileOf(cache.ixPath.view());
    if (cache.loadedFile && readEntries(cache, std::make_shared<RowsReader>(path.view())))
        return true;
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
