// Reading from and appending to memory.
#include "text/memory_stream.h"

#include <algorithm>
#include <cstring>

int32_t LMemStream::read(void* buffer, int32_t count) {
    int32_t n = std::clamp(count, 0, size_ - position_);
    if (n > 0) std::memcpy(buffer, data_ + position_, size_t(n));
    position_ += n;
    return n;
}

int64_t LMemStream::seek(int64_t position) {
    if (position < 0)
        position_ = size_;
    else if (position <= size_)
        position_ = int32_t(position);
    return position_;
}

int32_t LMemOutStream::write(const void* buffer, int32_t count) {
    auto* bytes = static_cast<const char*>(buffer);
    if (count < 0) count = int32_t(std::strlen(bytes));
    out_.append(bytes, count);
    return count;
}

int64_t LMemOutStream::seek(int64_t position) {
    if (position >= 0 && position < out_.length()) out_.truncate(int32_t(position));
    return out_.length();
}
