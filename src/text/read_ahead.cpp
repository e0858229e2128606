#include "text/read_ahead.h"

#include <algorithm>
#include <cstring>

int32_t LReadAhead::read(void* buffer, int32_t count) {
    if (index_ == count_) {
        if (count >= kBlock) {
            settle();
            return source_.read(buffer, count);
        }
        if (!block_) block_ = std::make_unique_for_overwrite<char[]>(size_t(kBlock));
        blockStart_ = sourceAt_ >= 0 ? sourceAt_ : source_.tell();
        index_ = 0;
        count_ = std::max(source_.read(block_.get(), fill_), 0);
        sourceAt_ = blockStart_ + count_;
        fill_ = std::min(fill_ * 4, kBlock);
    }
    const int32_t n = std::min(count, count_ - index_);
    std::memcpy(buffer, block_.get() + index_, size_t(n));
    index_ += n;
    return n;
}

int32_t LReadAhead::write(const void* buffer, int32_t count) {
    settle();
    return source_.write(buffer, count);
}

int64_t LReadAhead::seek(int64_t position) {
    if (position >= blockStart_ && position <= blockStart_ + count_ && count_ > 0) {
        index_ = int32_t(position - blockStart_);
        return position;
    }
    fill_ = kJumpBlock;
    index_ = count_ = 0;
    sourceAt_ = source_.seek(position);
    return sourceAt_;
}

int64_t LReadAhead::tell() const {
    if (count_ > 0) return blockStart_ + index_;
    return sourceAt_ >= 0 ? sourceAt_ : source_.tell();
}

void LReadAhead::close() {
    index_ = count_ = 0;
    sourceAt_ = -1;
    source_.close();
}

void LReadAhead::truncate(int64_t position) {
    settle();
    source_.truncate(position);
}

void LReadAhead::settle() {
    if (count_ > 0 && index_ != count_) source_.seek(blockStart_ + index_);
    index_ = count_ = 0;
    sourceAt_ = -1;  // the caller moves the source on
}
