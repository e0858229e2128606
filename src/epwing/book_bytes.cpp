#include "epwing/book_bytes.h"

#include <cstring>

#include "support/path_utils.h"

namespace {

constexpr int32_t kWindowSize = 1 << 16;

}  // namespace

BookBytes::BookBytes(std::string_view path) : path_(path), windowStart_(-1) {
    const int64_t size = fileSize(path);
    if (size < 0) return;
    file_ = std::make_unique<LFile>(path, 'r', false);
    if (file_->isOpen()) size_ = size;
}

BookBytes BookBytes::fromMemory(std::string_view bytes) {
    BookBytes book;
    book.window_.assign(bytes);
    book.size_ = int64_t(bytes.size());
    return book;
}

// Loads the window that begins at pos (whole windows, so a forward scan
// reads each byte of the file once).
bool BookBytes::fill(int64_t pos) {
    if (!file_) return false;
    const int64_t length = std::min<int64_t>(kWindowSize, size_ - pos);
    window_.resize(size_t(length));
    if (file_->seek(pos) != pos || file_->read(window_.data(), int32_t(length)) != length) {
        window_.clear();
        windowStart_ = -1;
        return false;
    }
    windowStart_ = pos;
    return true;
}

BookBytes BookBytes::second() const {
    return file_ ? BookBytes(path_.view()) : fromMemory(window_);
}

bool BookBytes::read(int64_t pos, void* out, int32_t n) {
    if (pos < 0 || n < 0 || n > kWindowSize || pos > size_ - n) return false;
    const bool inside = windowStart_ >= 0 && pos >= windowStart_ &&
                        pos + n <= windowStart_ + int64_t(window_.size());
    if (!inside && !fill(pos)) return false;
    std::memcpy(out, window_.data() + (pos - windowStart_), size_t(n));
    return true;
}

bool BookBytes::readNumber(int64_t pos, int32_t n, uint32_t& value) {
    unsigned char bytes[4];
    if (n < 1 || n > 4 || !read(pos, bytes, n)) return false;
    value = 0;
    for (int32_t i = 0; i < n; ++i) value = value << 8 | bytes[i];
    return true;
}
