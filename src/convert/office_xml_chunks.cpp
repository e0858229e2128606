// UTF-8 (as expat hands it out, so always well-formed) to UTF-16 chunks.
#include "convert/office_xml_chunks.h"

namespace {
// A long run of text goes out in pieces of about this size.
constexpr size_t kChunkBytes = 32 * 1024;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

void appendUtf16(std::string_view utf8, std::u16string& out) {
    for (size_t i = 0; i < utf8.size();) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
        size_t j = i + 1;
        for (; j < utf8.size() && j <= i + extra && isContinuation(utf8[j]); ++j)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[j]) & 0x3F);
        i = j;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
}
}  // namespace

void OfficeChunkWriter::text(std::string_view utf8) {
    if (stopped_) return;
    pending_ += utf8;
    if (pending_.size() < kChunkBytes) return;
    size_t cut = pending_.size();
    while (cut > 0 && isContinuation(pending_[cut - 1])) --cut;
    if (cut > 0) --cut;  // the last character may be incomplete
    deliver(cut);
}

void OfficeChunkWriter::brk(ChunkBreak kind) {
    flush();
    if (delivered_ && kind > before_) before_ = kind;
}

void OfficeChunkWriter::flush() {
    deliver(pending_.size());
}

void OfficeChunkWriter::deliver(size_t length) {
    if (stopped_ || length == 0) return;
    units_.clear();
    appendUtf16(std::string_view(pending_).substr(0, length), units_);
    pending_.erase(0, length);
    stopped_ = !sink_.chunk(before_, units_);
    before_ = ChunkBreak::None;
    delivered_ = true;
}
