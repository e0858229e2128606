// Stored blocks, spill files and the block list that reads its blocks back
// from a file in chunks.
#include "index/ix_block_list.h"

#include <algorithm>
#include <cstring>

#include "platform/file_handle.h"
#include "platform/file_system.h"
#include "support/path_utils.h"

namespace {

void putU32(char* out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[i] = char(v >> (8 * i));
}

int32_t getI32(const char* in) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(in[i])) << (8 * i);
    return int32_t(v);
}

}  // namespace

void storeBlock(const TIxBlock& block, char* out) {
    out[0] = 's';
    putU32(out + 1, uint32_t(block.pos));
    putU32(out + 5, uint32_t(block.len));
    putU32(out + 9, uint32_t(block.line));
    uint8_t sig[kSignatureBytes];
    block.sig.toBytes(sig);
    std::memcpy(out + 13, sig, kSignatureBytes);
}

bool parseStoredBlock(const char* bytes, TIxBlock& block) {
    if (bytes[0] != 's') return false;
    block.pos = getI32(bytes + 1);
    block.len = getI32(bytes + 5);
    block.line = getI32(bytes + 9);
    block.sig = StoredSignature::fromBytes(reinterpret_cast<const uint8_t*>(bytes + 13));
    // A block outside the 32-bit text range cannot come from a build.
    return block.pos >= 0 && block.len >= 0 && int64_t(block.pos) + block.len <= INT32_MAX;
}

std::shared_ptr<IxBlockFile> IxBlockFile::readWhole(std::string_view path) {
    auto file = std::make_shared<IxBlockFile>();
    // Mapped, a search reads only the pages of the entries it looks at.
    if ((file->mapped_ = MappedFile::open(path))) {
        file->heldBytes_ = file->mapped_->data();
        file->heldSize_ = file->fileSize_ = file->mapped_->size();
        file->writeTime_ = file->mapped_->writeTime();
        return file;
    }
    int64_t size = 0;
    uint64_t writeTime = 0;
    LFile in;
    if (!fsRegularFileInfo(path, size, writeTime) || !in.open(path, 'r', false)) return nullptr;
    // Not zeroed: every byte kept is read.
    file->held_ = std::make_unique_for_overwrite<char[]>(size_t(size));
    while (file->heldSize_ < size) {
        const int64_t want = std::min<int64_t>(size - file->heldSize_, 1 << 30);
        const int32_t n = in.read(file->held_.get() + file->heldSize_, int32_t(want));
        if (n <= 0) break;
        file->heldSize_ += n;
    }
    file->heldBytes_ = file->held_.get();
    file->fileSize_ = file->heldSize_;
    file->writeTime_ = writeTime;
    return file;
}

std::shared_ptr<IxBlockFile> IxBlockFile::openForReading(std::string_view path) {
    auto file = std::make_shared<IxBlockFile>();
    if (!file->reader_.open(path, 'r', false)) return nullptr;
    // The open's own stat gives size and time: no second one.
    file->fileSize_ = file->reader_.opened().size;
    file->writeTime_ = file->reader_.opened().writeTime;
    return file;
}

std::shared_ptr<IxBlockFile> IxBlockFile::createSpill(std::string_view path) {
    auto file = std::make_shared<IxBlockFile>();
    // No interrupt guard: the spill is nameless and may be lost at any time.
    if (!file->writer_.open(path, 'w', false)) return nullptr;
    const bool readable = file->reader_.open(path, 'r', false);
    removeFile(path, false);
    if (!readable) return nullptr;
    return file;
}

bool IxBlockFile::append(const char* bytes, int32_t count) {
    int32_t done = 0;
    while (done < count) {
        const int32_t n = writer_.write(bytes + done, count - done);
        if (n <= 0) break;
        done += n;
    }
    end_ += done;
    return done == count;
}

bool IxBlockFile::readAt(int64_t offset, char* out, int32_t count) const {
    if (const char* held = heldAt(offset, count)) {
        std::memcpy(out, held, size_t(count));
        return true;
    }
    return readDescriptorExactlyAt(reader_.handle(), out, count, offset);
}

void IxBlockList::clear() {
    file_.reset();
    offset_ = stored_ = 0;
    memory_.clear();
    memory_.shrink_to_fit();
}

bool IxBlockList::spillIfFull(const std::shared_ptr<IxBlockFile>& spill) {
    if (memory_.size() < kMemoryBlocks) return true;
    if (stored_ > 0 && (file_ != spill || offset_ + stored_ * kStoredBlockBytes != spill->end()))
        return false;
    std::vector<char> bytes(memory_.size() * kStoredBlockBytes);
    for (size_t i = 0; i < memory_.size(); ++i)
        storeBlock(memory_[i], bytes.data() + i * kStoredBlockBytes);
    const int64_t at = spill->end();
    if (!spill->append(bytes.data(), int32_t(bytes.size()))) return false;
    if (stored_ == 0) {
        file_ = spill;
        offset_ = at;
    }
    stored_ += int64_t(memory_.size());
    memory_.clear();
    return true;
}

void IxBlockList::setStored(std::shared_ptr<IxBlockFile> file, int64_t offset, int64_t count) {
    clear();
    file_ = std::move(file);
    offset_ = offset;
    stored_ = count;
}

bool IxBlockList::readStored(int64_t first, std::vector<TIxBlock>& chunk) const {
    const int32_t n = chunkAt(first);
    std::vector<char> bytes(size_t(n) * kStoredBlockBytes);
    if (!file_->readAt(offset_ + first * kStoredBlockBytes, bytes.data(), int32_t(bytes.size())))
        return false;
    chunk.resize(size_t(n));
    for (int32_t i = 0; i < n; ++i)
        if (!parseStoredBlock(bytes.data() + size_t(i) * kStoredBlockBytes, chunk[size_t(i)]))
            return false;
    return true;
}

std::vector<TIxBlock> IxBlockList::all() const {
    std::vector<TIxBlock> out;
    forEach([&](const TIxBlock& block) {
        out.push_back(block);
        return true;
    });
    return out;
}
