// The byte format of index files. Loading stays bounded on damaged input:
// every allocation is backed by bytes actually read, and a name or folder
// line that runs on without its terminator counts as damage.
#include "index/ix_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "index/index_marker.h"
#include "index/ix_cache.h"
#include "index/ix_messages.h"
#include "index/ix_rows_file.h"
#include "platform/file_system.h"
#include "support/message_service.h"
#include "support/mirror_path.h"
#include "support/path_utils.h"
#include "text/file_stream.h"
#include "text/io_file.h"

namespace {

constexpr int32_t kMaxNameLength = 4096;
constexpr int32_t kMaxFolderLineLength = 32768;
constexpr int32_t kWriteChunk = 1 << 16;

// ---- reading ----

// Broken entries reported one by one; the rest are summed up in one line.
constexpr int32_t kShownBrokenEntries = 3;

// Reads an index file held whole in memory. Like a stream, it notes when a
// read ran past the end, which tells a file cut short from a damaged entry.
class HeldReader {
public:
    explicit HeldReader(std::string_view bytes) : bytes_(bytes) {}

    int64_t offset() const { return pos_; }
    bool endOfInput() const { return pastEnd_; }
    int peekByte() const { return pos_ < size() ? uint8_t(bytes_[size_t(pos_)]) : -1; }
    int readByte() {
        if (pos_ < size()) return uint8_t(bytes_[size_t(pos_++)]);
        pastEnd_ = true;
        return -1;
    }
    // The next count bytes, or null (consuming the rest) when fewer remain.
    const char* take(int64_t count) {
        if (size() - pos_ < count) {
            pos_ = size();
            pastEnd_ = true;
            return nullptr;
        }
        pos_ += count;
        return bytes_.data() + (pos_ - count);
    }
    bool readUint32(uint32_t& value) {
        const char* b = take(4);
        if (!b) return false;
        value = 0;
        for (int i = 0; i < 4; ++i) value |= uint32_t(uint8_t(b[i])) << (8 * i);
        return true;
    }
    // Bytes up to a NUL (not included); false at the end or past maxLength.
    bool readName(int32_t maxLength, LStr& out) {
        const char* from = bytes_.data() + pos_;
        const int64_t limit = std::min<int64_t>(size() - pos_, int64_t(maxLength) + 1);
        const void* nul = std::memchr(from, 0, size_t(limit));
        if (!nul) {
            pos_ += limit;
            if (limit <= maxLength) pastEnd_ = true;
            return false;
        }
        const int64_t length = static_cast<const char*>(nul) - from;
        out.assign(std::string_view(from, size_t(length)));
        pos_ += length + 1;
        return true;
    }

private:
    int64_t size() const { return int64_t(bytes_.size()); }

    std::string_view bytes_;
    int64_t pos_ = 0;
    bool pastEnd_ = false;
};

// The blocks of an entry stay where they are in the held file; they are
// only checked here.
bool readBlocks(HeldReader& in, IxBlockList& blocks, const std::shared_ptr<IxBlockFile>& held) {
    const int64_t first = in.offset();
    int64_t count = 0;
    TIxBlock block;
    while (in.peekByte() == 's') {
        const char* bytes = in.take(kStoredBlockBytes);
        if (!bytes || !parseStoredBlock(bytes, block)) return false;
        ++count;
    }
    if (count > 0) blocks.setStored(held, first, count);
    return true;
}

// One entry after its "F"; null when it is damaged. The byte that ends the
// blocks is consumed whether or not it is the closing "z".
std::unique_ptr<TIxEntry> readEntry(HeldReader& in, const std::shared_ptr<IxBlockFile>& held) {
    auto entry = std::make_unique<TIxEntry>();
    uint32_t low, high;
    if (!in.readName(kMaxNameLength, entry->name)) return nullptr;
    if (!in.readUint32(low) || !in.readUint32(high) || !in.readUint32(entry->size)) return nullptr;
    entry->lastWrite = uint64_t(high) << 32 | low;
    if (!readBlocks(in, entry->blocks, held) || in.readByte() != 'z') return nullptr;
    return entry;
}

int parseVersion(std::string_view header) {
    int version = 0;
    for (size_t i = 4; i < header.size() && i < 12; ++i) {
        char c = header[i];
        if (c < '0' || c > '9') break;
        version = version * 10 + (c - '0');
    }
    return version;
}

// ---- writing ----

class IndexWriter {
public:
    explicit IndexWriter(std::string_view path) : file_(path, 'w', false, true) {}
    bool isOpen() const { return file_.isOpen(); }

    void bytes(std::string_view b) {
        buffer_.append(b);
        if (buffer_.length() >= kWriteChunk) drain();
    }
    void byte(char c) { bytes(std::string_view(&c, 1)); }
    // Bytes handed over so far (the file offset of the next one).
    int64_t position() const { return drained_ + buffer_.length(); }
    void fail() { ok_ = false; }
    void u32(uint32_t v) {
        char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        bytes(std::string_view(b, 4));
    }
    // Writes what is left, makes it durable and closes; false when any part
    // could not be written.
    bool finish() {
        drain();
        if (ok_) file_.flush();
        file_.close();
        return ok_;
    }

private:
    void drain() {
        if (buffer_.empty()) return;
        if (ok_ && file_.write(buffer_.data(), buffer_.length()) != buffer_.length()) ok_ = false;
        drained_ += buffer_.length();
        buffer_.clear();
    }

    LFile file_;
    LStr buffer_;
    int64_t drained_ = 0;
    bool ok_ = true;
};

void writeEntry(IndexWriter& out, const TIxEntry& entry, std::vector<int64_t>& blocksAt) {
    out.byte('F');
    out.bytes(entry.name.view());
    out.byte('\0');
    out.u32(uint32_t(entry.lastWrite));
    out.u32(uint32_t(entry.lastWrite >> 32));
    out.u32(entry.size);
    blocksAt.push_back(out.position());
    const bool read = entry.blocks.forEachStoredChunk([&](const char* bytes, int32_t count) {
        out.bytes(std::string_view(bytes, size_t(count)));
    });
    // Blocks that cannot be read back would leave a wrong entry: the old file stays.
    if (!read) out.fail();
    out.byte('z');
}

// Creates the folders of the cache's index file (the index folder with its
// marker); false when they cannot be made.
bool prepareFolders(const TIxCache& cache) {
    LStr folder(cache.indexFolder());
    appendSeparator(folder);
    const bool inIndexFolder =
        !cache.indexFolder().empty() && cache.ixPath.view().starts_with(folder.view());
    if (inIndexFolder) ensureIndexFolder(cache.indexFolder());
    if (!inIndexFolder) return ensureDirChain(cache.ixPath);
    const LStr fileFolder = dirPart(cache.ixPath, false);
    return makeFoldersWithoutLinks(cache.indexFolder(), fileFolder.view().substr(folder.size()));
}

// Reads the entries after the folder line. Damage marks the cache dirty, so
// the file is written anew with what could be read (and what is rebuilt).
void readEntries(TIxCache& cache, const std::shared_ptr<IxBlockFile>& held, std::string_view bytes,
                 int64_t offset) {
    HeldReader in(bytes);
    in.take(offset);
    int32_t broken = 0;
    int b = in.readByte();
    while (b == 'F') {
        auto entry = readEntry(in, held);
        if (entry) {
            cache.add(std::move(entry));
        } else if (in.endOfInput()) {
            break;  // cut short: one message for the file below
        } else if (++broken <= kShownBrokenEntries) {
            ixErrorLine(ixtext::kEntryBroken);
        }
        b = in.readByte();
    }
    if (broken > kShownBrokenEntries)
        ixErrorLine(ixtext::kEntriesBroken, cache.ixPath.c_str(), int(broken));
    if (b != 'Z') ixErrorLine(ixtext::kFileBroken, cache.ixPath.c_str());
    if (broken > 0 || b != 'Z') cache.dirty = true;
}

bool writeTo(std::string_view path, const TIxCache& cache, std::vector<int64_t>& blocksAt) {
    IndexWriter out(path);
    if (!out.isOpen()) return false;
    out.bytes(formatText("QF  %04d      \r\n", kIndexFileVersion));
    out.bytes(cache.dir.view());
    out.bytes("\r\n");
    cache.forEach([&](const TIxEntry& entry) { writeEntry(out, entry, blocksAt); });
    out.byte('Z');
    return out.finish();
}

}  // namespace

IxFileHeader parseIndexHeader(std::string_view bytes, int64_t* entriesAt) {
    IxFileHeader header;
    if (!bytes.starts_with("QF ")) return header;
    header.version = parseVersion(bytes.substr(0, kIndexHeaderSize));
    header.state = IxFileHeader::kBrokenLine;
    if (bytes.size() < size_t(kIndexHeaderSize)) return header;
    // The line with its CR LF may take one byte more than the longest line.
    const std::string_view rest = bytes.substr(kIndexHeaderSize, size_t(kMaxFolderLineLength) + 1);
    const size_t end = rest.find("\r\n");
    if (end == std::string_view::npos || end >= size_t(kMaxFolderLineLength)) return header;
    header.state = IxFileHeader::kComplete;
    header.folder.assign(rest.substr(0, end));
    if (entriesAt) *entriesAt = kIndexHeaderSize + int64_t(end) + 2;
    return header;
}

IxFileHeader readIndexHeader(LIoFile& file) {
    const int32_t most = kIndexHeaderSize + kMaxFolderLineLength + 1;
    auto bytes = std::make_unique_for_overwrite<char[]>(size_t(most));
    const int64_t start = file.tell();
    const int32_t got = std::max(file.read(bytes.get(), most), 0);
    int64_t entriesAt = got;
    IxFileHeader header = parseIndexHeader(std::string_view(bytes.get(), size_t(got)), &entriesAt);
    file.seek(start + entriesAt);
    return header;
}

namespace {

// The opening of an index file left on disk.
IxFileHeader readHeldHeader(const IxBlockFile& file, int64_t& entriesAt) {
    // Most folder lines are short: a longer one is read again whole.
    for (int64_t want : {int64_t(4096), int64_t(kIndexHeaderSize) + kMaxFolderLineLength + 1}) {
        const int64_t count = std::min(want, file.fileSize());
        std::string bytes(size_t(count), '\0');
        if (!file.readAt(0, bytes.data(), int32_t(count))) return {};
        IxFileHeader header = parseIndexHeader(bytes, &entriesAt);
        if (header.state == IxFileHeader::kComplete || count == file.fileSize()) return header;
    }
    return {};
}

// The entries of an index file with a current rows file, its blocks left on
// disk; false, with nothing reported and the cache empty, otherwise.
bool loadWithRows(TIxCache& cache, std::string_view ixPath) {
    std::shared_ptr<IxBlockFile> file = IxBlockFile::openForReading(ixPath);
    if (!file) return false;
    int64_t entriesAt = 0;
    IxFileHeader header = readHeldHeader(*file, entriesAt);
    if (header.state != IxFileHeader::kComplete || header.version != kIndexFileVersion)
        return false;
    const LStr dir = cache.dir;
    cache.dir = std::move(header.folder);
    cache.loadedFile = std::move(file);
    if (loadEntriesFromRows(cache)) return true;
    cache.dir = dir;
    cache.loadedFile.reset();
    return false;
}

// The whole index file read and every entry parsed from it.
void loadWhole(TIxCache& cache, std::string_view ixPath) {
    // The entries' blocks point into the held bytes, which the cache keeps.
    std::shared_ptr<IxBlockFile> file = IxBlockFile::readWhole(ixPath);
    if (!file) return;
    const int64_t total = file->heldSize();
    const std::string_view held(file->heldAt(0, total), size_t(total));
    int64_t entriesAt = 0;
    IxFileHeader header = parseIndexHeader(held, &entriesAt);
    if (header.state == IxFileHeader::kNotIndex) {
        ixErrorLine(ixtext::kIllegalHeader, cache.ixPath.c_str());
        return;
    }
    if (header.version != kIndexFileVersion) {
        debugLog("ixPath too old\n");
        return;
    }
    if (header.state != IxFileHeader::kComplete) {
        ixErrorLine(ixtext::kFileBroken, cache.ixPath.c_str());
        cache.dirty = true;
        return;
    }
    cache.dir = std::move(header.folder);
    cache.loadedFile = std::move(file);
    readEntries(cache, cache.loadedFile, held, entriesAt);
}

}  // namespace

void loadIndexFile(TIxCache& cache, std::string_view sourceFile, std::string_view ixPath) {
    cache.clear();
    cache.dirty = false;
    cache.dir = dirPart(sourceFile, false);
    cache.ixPath = ixPath;
    // With its rows file, an index file is read only where a search looks.
    if (!loadWithRows(cache, ixPath)) loadWhole(cache, ixPath);
}

std::shared_ptr<IxBlockFile> openSpillFile(const TIxCache& cache) {
    if (cache.ixPath.empty() || !prepareFolders(cache)) return nullptr;
    return IxBlockFile::createSpill(temporaryPathFor(cache.ixPath));
}

bool writeIndexFile(const TIxCache& cache) {
    const LStr& ixPath = cache.ixPath;
    if (ixPath.empty()) return false;
    bool written = false;
    if (prepareFolders(cache)) {
        LStr temporary = temporaryPathFor(ixPath);
        std::vector<int64_t> blocksAt;
        // The rows file names the index file by the size and time it was
        // written with, taken before the rename (another writer may replace
        // it at any time).
        IxFileStamp stamp;
        written = writeTo(temporary, cache, blocksAt) &&
                  fsRegularFileInfo(temporary, stamp.size, stamp.writeTime) &&
                  replaceFile(temporary, ixPath);
        if (!written) removeFile(temporary, false);
        if (written) writeRowsFile(cache, stamp, blocksAt);
    }
    if (!written) ixErrorLine(ixtext::kCannotWrite, ixPath.c_str());
    return written;
}
