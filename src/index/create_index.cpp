// createIndex: one pass over a file's text, closing a block whenever the
// next record would make it too long.
#include "index/create_index.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "convert/text_reader.h"
#include "index/ix_cache.h"
#include "index/ix_status.h"
#include "pattern/record_reader.h"
#include "platform/file_system.h"
#include "support/byte_scan.h"
#include "support/message_service.h"
#include "support/stop_flag.h"
#include "text/buffered_stream.h"
#include "text/regularize.h"

namespace {

// Progress is shown every this many blocks.
constexpr size_t kProgressEvery = 256;

class BlockBuilder {
public:
    BlockBuilder(TIxEntry& entry, int64_t totalSize, const IxBlockFileSource& spill)
        : entry_(entry), totalSize_(totalSize), spillSource_(spill) {}

    bool empty() const { return len_ == 0; }
    int32_t length() const { return len_; }
    void append(const LStr& record) {
        text_.append(record.view());
        len_ += record.length();
    }

    // Whether a block of length bytes beginning at pos has offsets the
    // stored format can hold.
    static bool fits(int64_t pos, int64_t length) { return pos + length <= INT32_MAX; }
    int64_t start() const { return pos_; }
    IxWideRows finishRows() { return wide_.finish(); }

    // Stores the current block and starts the next one at pos, on the line
    // after the block's last line feed.
    void close(int64_t nextPos) {
        // Lines are counted here, a block at a time: asking the reader
        // counts its whole buffer again for every record.
        const int32_t nextLine =
            line_ + countByte(text_.data(), text_.data() + text_.length(), '\n');
        regular_.truncate(0);  // keeps its room: one allocation per file
        // Room past the regular text lets every word of it be hashed whole.
        regular_.reserve(text_.length() + int32_t(kHashedWordReach));
        regularize(text_.view(), kIndexFolding, regular_);
        // Grams are gathered first and set afterwards: setting bits as
        // they come makes every gram wait on the one before it.
        if (grams_.size() < size_t(regular_.length())) grams_.resize(size_t(regular_.length()));
        std::array<uint8_t, kSignatureBits> narrow{};
        uint32_t* grams = grams_.data();
        size_t count = 0;
        forEachGram(
            regular_.view(),
            [&](int bit, uint32_t packed) {
                narrow[size_t(bit)] = 1;
                grams[count++] = packed;
            },
            size_t(regular_.capacity() - regular_.length()));
        wide_.addBlock(std::span<const uint32_t>(grams, count));
        TIxBlock block;
        block.sig = StoredSignature::fromFlags(narrow).complemented();
        block.pos = int32_t(pos_);
        block.len = len_;
        block.line = line_;
        entry_.blocks.push_back(block);
        spill();
        if (entry_.blocks.size() % kProgressEvery == 0) showProgress(nextPos);
        text_.truncate(0);
        len_ = 0;
        pos_ = nextPos;
        line_ = nextLine;
    }

private:
    // Blocks beyond what memory keeps go to the cache's spill file, so a
    // file's build takes the same memory whatever its size.
    void spill() {
        if (entry_.blocks.size() < int64_t(IxBlockList::kMemoryBlocks) || !spillSource_) return;
        if (!spillFile_) spillFile_ = spillSource_();
        if (spillFile_) entry_.blocks.spillIfFull(spillFile_);
    }

    void showProgress(int64_t position) const {
        int64_t percent = (int64_t(position) + 100) / (totalSize_ / 100 + 1);
        ixStatusF(3, "%d%%", int(percent));
    }

    TIxEntry& entry_;
    int64_t totalSize_;
    const IxBlockFileSource& spillSource_;
    std::shared_ptr<IxBlockFile> spillFile_;
    LStr text_;
    LStr regular_;
    std::vector<uint32_t> grams_;  // of the block being closed
    IxWideBuilder wide_;
    int32_t len_ = 0;
    int64_t pos_ = 0;
    int32_t line_ = 1;
};

bool blockEndsBefore(const BlockBuilder& block, int32_t recordLength) {
    if (recordLength == 0) return true;
    if (block.empty()) return false;
    return block.length() > kBlockSoftLimit ||
           int64_t(block.length()) + recordLength > kBlockHardLimit;
}

}  // namespace

int32_t readRecord(LSrmBase& stream, const IxRecordSeparator& separator, LStr& record) {
    if (separator.lineRuns)
        return readLineRecord(stream, kRecordPeekLength, record, kRecordMaxLength);
    return readUntilRex(stream, separator.node, kRecordPeekLength, separator.table, record,
                        kRecordMaxLength);
}

bool indexedFileInfo(std::string_view path, const ConversionOptions& conversion, int64_t& size,
                     uint64_t& writeTime, bool known) {
    // One stat: a search checks every indexed file's currency this way.
    if (!known && !fsRegularFileInfo(path, size, writeTime)) return false;
    if (!conversion.convertDictionary) return true;
    const LStr text = conversion.convertDictionary(path, conversion);
    uint64_t textTime = 0;
    if (!text.empty() && fsWriteTime(text.view(), textTime))
        writeTime = std::max(writeTime, textTime);
    return true;
}

int createIndex(TIxEntry& entry, std::string_view path, const IxRecordSeparator& separator,
                const IxBlockFileSource& spill, const ConversionOptions& conversion) {
    debugLog("createIndex [%.*s]\n", int(path.size()), path.data());
    int64_t size = 0;
    uint64_t writeTime = 0;
    if (!indexedFileInfo(path, conversion, size, writeTime)) return 1;
    entry.lastWrite = writeTime;
    entry.size = uint32_t(uint64_t(size));
    entry.blocks.clear();
    entry.wide.clear();
    if (!BlockBuilder::fits(0, size)) return kIndexTooLarge;

    std::unique_ptr<LSrmBase> reader = openTextReader(path, conversion);
    if (!reader) return 1;
    reader->setLine(1);

    BlockBuilder block(entry, size, spill);
    LStr record;
    int result = 1;
    while (!stopRequested()) {
        const int64_t pos = reader->tell();
        record.truncate(0);
        readRecord(*reader, separator, record);
        if (blockEndsBefore(block, record.length())) block.close(pos);
        if (record.empty()) {
            result = 0;
            break;
        }
        // Decoded text can outgrow its file.
        if (!BlockBuilder::fits(block.start(), int64_t(block.length()) + record.length())) {
            result = kIndexTooLarge;
            break;
        }
        block.append(record);
    }
    reader->close();
    ixStatus(3, "");
    if (result != 0) entry.blocks.clear();
    if (result == 0) entry.wide = block.finishRows();
    return result;
}
