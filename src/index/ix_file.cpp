// The byte format of index files. Loading stays bounded on damaged input:
// every allocation is backed by bytes actually read, and a name or folder
// line that runs on without its terminator counts as damage.
#include "index/ix_file.h"

#include <random>

#include "index/index_marker.h"
#include "index/ix_cache.h"
#include "index/ix_messages.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "text/file_stream.h"
#include "text/io_file.h"

namespace {

constexpr int32_t kMaxNameLength = 4096;
constexpr int32_t kMaxFolderLineLength = 32768;
constexpr int32_t kWriteChunk = 1 << 16;

// ---- reading ----

bool readUint32(LIoFile& file, uint32_t& value) {
    int64_t v = file.readUnit32();
    if (v < 0) return false;
    value = uint32_t(v);
    return true;
}

bool readInt32(LIoFile& file, int32_t& value) {
    uint32_t v;
    if (!readUint32(file, v)) return false;
    value = int32_t(v);
    return true;
}

// Bytes up to the terminator (not included); false at the end of the file
// or past maxLength.
bool readTerminated(LIoFile& file, std::string_view terminator, int32_t maxLength, LStr& out) {
    out.clear();
    for (;;) {
        int b = file.readByte();
        if (b < 0) return false;
        out.append(char(b));
        if (out.view().ends_with(terminator)) {
            out.truncate(out.length() - int32_t(terminator.size()));
            return true;
        }
        if (out.length() > maxLength) return false;
    }
}

bool readBlock(LIoFile& file, TIxBlock& block) {
    if (!readInt32(file, block.pos) || !readInt32(file, block.len) || !readInt32(file, block.line))
        return false;
    uint8_t sig[kSignatureBytes];
    if (file.read(sig, kSignatureBytes) != kSignatureBytes) return false;
    block.sig = GramSignature::fromBytes(sig);
    // A block outside the 32-bit text range cannot come from a build.
    return block.pos >= 0 && block.len >= 0 && int64_t(block.pos) + block.len <= INT32_MAX;
}

// One entry after its "F"; null when it is damaged. The byte that ends the
// blocks is consumed whether or not it is the closing "z".
std::unique_ptr<TIxEntry> readEntry(LIoFile& file) {
    auto entry = std::make_unique<TIxEntry>();
    std::string_view nul("\0", 1);
    uint32_t low, high;
    if (!readTerminated(file, nul, kMaxNameLength, entry->name)) return nullptr;
    if (!readUint32(file, low) || !readUint32(file, high) || !readUint32(file, entry->size))
        return nullptr;
    entry->lastWrite = uint64_t(high) << 32 | low;
    int b = file.readByte();
    while (b == 's') {
        TIxBlock block;
        if (!readBlock(file, block)) return nullptr;
        entry->blocks.push_back(block);
        b = file.readByte();
    }
    if (b != 'z') return nullptr;
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
        buffer_.clear();
    }

    LFile file_;
    LStr buffer_;
    bool ok_ = true;
};

void writeEntry(IndexWriter& out, const TIxEntry& entry) {
    out.byte('F');
    out.bytes(entry.name.view());
    out.byte('\0');
    out.u32(uint32_t(entry.lastWrite));
    out.u32(uint32_t(entry.lastWrite >> 32));
    out.u32(entry.size);
    for (const TIxBlock& block : entry.blocks) {
        out.byte('s');
        out.u32(uint32_t(block.pos));
        out.u32(uint32_t(block.len));
        out.u32(uint32_t(block.line));
        uint8_t sig[kSignatureBytes];
        block.sig.toBytes(sig);
        out.bytes(std::string_view(reinterpret_cast<const char*>(sig), kSignatureBytes));
    }
    out.byte('z');
}

LStr temporaryPathFor(std::string_view path) {
    std::random_device random;
    return formatText("%.*s.%08x.tmp", int(path.size()), path.data(), unsigned(random()));
}

bool writeTo(std::string_view path, const TIxCache& cache) {
    IndexWriter out(path);
    if (!out.isOpen()) return false;
    out.bytes(formatText("QF  %04d      \r\n", kIndexFileVersion));
    out.bytes(cache.dir.view());
    out.bytes("\r\n");
    cache.forEach([&](const TIxEntry& entry) { writeEntry(out, entry); });
    out.byte('Z');
    return out.finish();
}

}  // namespace

IxFileHeader readIndexHeader(LIoFile& file) {
    IxFileHeader header;
    char bytes[kIndexHeaderSize];
    const int32_t got = file.read(bytes, kIndexHeaderSize);
    const std::string_view head(bytes, got > 0 ? size_t(got) : 0);
    if (!head.starts_with("QF ")) return header;
    header.version = parseVersion(head);
    header.state = readTerminated(file, "\r\n", kMaxFolderLineLength, header.folder)
                       ? IxFileHeader::kComplete
                       : IxFileHeader::kBrokenLine;
    if (header.state != IxFileHeader::kComplete) header.folder.clear();
    return header;
}

void loadIndexFile(TIxCache& cache, std::string_view sourceFile, std::string_view ixPath) {
    cache.clear();
    cache.dirty = false;
    cache.dir = dirPart(sourceFile, false);
    cache.ixPath = ixPath;
    LIoFile file;
    if (!file.open(ixPath, 'r', false)) return;

    IxFileHeader header = readIndexHeader(file);
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
        return;
    }
    cache.dir = std::move(header.folder);

    int b = file.readByte();
    while (b == 'F') {
        if (auto entry = readEntry(file))
            cache.add(std::move(entry));
        else
            ixErrorLine(ixtext::kEntryBroken);
        b = file.readByte();
    }
    if (b != 'Z') ixErrorLine(ixtext::kFileBroken, cache.ixPath.c_str());
}

bool writeIndexFile(const TIxCache& cache) {
    const LStr& ixPath = cache.ixPath;
    if (ixPath.empty()) return false;
    LStr folder(cache.indexFolder());
    appendSeparator(folder);
    if (!cache.indexFolder().empty() && ixPath.view().starts_with(folder.view()))
        ensureIndexFolder(cache.indexFolder());
    bool written = false;
    if (ensureDirChain(ixPath)) {
        LStr temporary = temporaryPathFor(ixPath);
        written = writeTo(temporary, cache) && replaceFile(temporary, ixPath);
        if (!written) removeFile(temporary, false);
    }
    if (!written) ixErrorLine(ixtext::kCannotWrite, ixPath.c_str());
    return written;
}
