// The buffer of LSrmBase: sliding, refilling, writing out, and the scans that
// read lines and look ahead.
#include "text/buffered_stream.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "support/byte_scan.h"

namespace {

unsigned char asciiLower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

}  // namespace

LSrmBase::LSrmBase(LStream* stream) : stream_(stream) {
    reset();
}

LSrmBase::~LSrmBase() {
    flushBuffer(false);
    if (stream_) stream_->flush();
}

void LSrmBase::reset() {
    buf_ = own_;
    capacity_ = kCapacity;
    viewing_ = false;
    countedTo_ = countedFeeds_ = 0;
    bufStart_ = streamPos_ = 0;
    index_ = count_ = 0;
    line_ = 1;
    linesCounted_ = true;
    flags_ = 0;
    terminate();
}

void LSrmBase::setStream(LStream* stream) {
    flushBuffer(false);
    stream_ = stream;
    reset();
}

void LSrmBase::viewBytes(char* data, int32_t size) {
    flushBuffer(false);
    reset();
    buf_ = reinterpret_cast<unsigned char*>(data);
    capacity_ = count_ = size;
    viewing_ = true;
    terminate();
}

void LSrmBase::restartAt(int64_t position, int32_t lineNumber) {
    bufStart_ = streamPos_ = position;
    index_ = count_ = 0;
    line_ = lineNumber;
    linesCounted_ = lineNumber != 0;
    flags_ &= ~(kDirty | kEndOfInput);
    terminate();
}

void LSrmBase::releaseStream() {
    flushBuffer(false);
    if (stream_) stream_->flush();
    stream_ = nullptr;
}

int32_t LSrmBase::writeOut(int32_t n) {
    if (!stream_) return 0;
    if (streamPos_ != bufStart_) {
        streamPos_ = stream_->seek(bufStart_);
        if (streamPos_ != bufStart_) return 0;
    }
    int32_t written = 0;
    // A stream that takes nothing twice in a row is not going to take more.
    for (int misses = 0; written < n && misses < 2;) {
        int32_t w = stream_->write(buf_ + written, n - written);
        if (w > 0) {
            written += w;
            streamPos_ += w;
            misses = 0;
        } else {
            ++misses;
        }
    }
    return written;
}

void LSrmBase::flushBuffer(bool keepTail) {
    if (viewing_) return;  // the whole text stays
    int32_t letGo = keepTail ? std::max(index_ - kKeepBack, 0) : count_;
    if (letGo > 0 && (flags_ & kDirty)) {
        int32_t written = writeOut(letGo);
        if (keepTail) letGo = written;
    }
    if (letGo <= 0) {
        if (count_ == 0) flags_ &= ~kDirty;
        return;
    }
    if (linesCounted_) line_ += lineFeedsBefore(letGo);
    int32_t rest = count_ - letGo;
    if (rest > 0) {
        std::memmove(buf_, buf_ + letGo, size_t(rest));
        index_ -= letGo;
        count_ = rest;
    } else {
        flags_ &= ~kDirty;
        index_ = count_ = 0;
    }
    bufStart_ += letGo;
    terminate();
}

int32_t LSrmBase::fill() {
    int32_t room = capacity_ - count_;
    if (!stream_ || room <= 0) return 0;
    int64_t target = bufStart_ + count_;
    if (streamPos_ != target) {
        streamPos_ = stream_->seek(target);
        if (streamPos_ != target) return 0;
    }
    int32_t n = stream_->read(buf_ + count_, room);
    if (n <= 0) return 0;
    count_ += n;
    streamPos_ += n;
    terminate();
    return n;
}

bool LSrmBase::refill() {
    flushBuffer(true);
    return fill() > 0;
}

void LSrmBase::makeVisible(int32_t n) {
    n = std::min(n, kMaxPeek);
    if (index_ + n > capacity_) flushBuffer(true);
    while (count_ - index_ < n && fill() > 0) {
    }
}

int32_t LSrmBase::read(void* buffer, int32_t count) {
    if (count < 1) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    int32_t copied = 0;
    while (copied < count) {
        int32_t take = std::min(count_ - index_, count - copied);
        if (take > 0) {
            std::memcpy(out + copied, buf_ + index_, size_t(take));
            index_ += take;
            copied += take;
        } else if (!refill()) {
            flags_ |= kEndOfInput;
            break;
        }
    }
    return copied;
}

int32_t LSrmBase::readRest(LStr& out) {
    const int32_t before = out.length();
    out.append(reinterpret_cast<const char*>(buf_) + index_, count_ - index_);
    index_ = count_;
    if (viewing_) {
        flags_ |= kEndOfInput;
        return out.length() - before;
    }
    flushBuffer(false);
    int64_t position = bufStart_;
    if (stream_ && streamPos_ != position) streamPos_ = stream_->seek(position);
    const bool direct = stream_ && streamPos_ == position;
    // Into the room the caller reserved, at least a large block at a time.
    for (int32_t n = 1; direct && n > 0; position += n) {
        const int32_t room = std::max(out.capacity() - out.length() - 1, 1 << 16);
        n = out.appendWith(room, [&](char* at) { return stream_->read(at, room); });
    }
    if (direct) restartAt(position, 0);
    flags_ |= kEndOfInput;
    return out.length() - before;
}

int32_t LSrmBase::write(const void* buffer, int32_t count) {
    if (count < 1 || viewing_) return 0;
    auto* in = static_cast<const unsigned char*>(buffer);
    int32_t placed = 0;
    for (int misses = 0; placed < count;) {
        int32_t take = std::min(kCapacity - index_, count - placed);
        if (take > 0) {
            std::memcpy(buf_ + index_, in + placed, size_t(take));
            index_ += take;
            count_ = std::max(count_, index_);
            flags_ |= kDirty;
            placed += take;
            misses = 0;
        } else if (++misses < 2) {
            flushBuffer(true);
        } else {
            break;  // the stream below takes nothing: the buffer stays full
        }
    }
    terminate();
    return placed;
}

int64_t LSrmBase::seek(int64_t position) {
    if (position >= 0 && position >= bufStart_ && position <= bufStart_ + count_) {
        index_ = int32_t(position - bufStart_);
    } else if (viewing_) {
        if (position < 0) index_ = count_;
    } else {
        flushBuffer(false);
        int64_t reached = stream_ ? stream_->seek(position) : 0;
        restartAt(reached, 0);
    }
    flags_ &= ~kEndOfInput;
    return tell();
}

void LSrmBase::flush() {
    // Unlike flushBuffer, keeps the buffer: the read position and the line
    // count stay where they are.
    if ((flags_ & kDirty) && writeOut(count_) == count_) flags_ &= ~kDirty;
    if (stream_) stream_->flush();
}

void LSrmBase::close() {
    flushBuffer(false);
    if (stream_) stream_->close();
}

int64_t LSrmBase::skipBytesSlow(int32_t n) {
    while (n > 0) {
        int32_t take = std::min(count_ - index_, n);
        if (take > 0) {
            index_ += take;
            n -= take;
        } else if (!refill()) {
            flags_ |= kEndOfInput;
            break;
        }
    }
    return tell();
}

int LSrmBase::readByteSlow() {
    unsigned char c;
    return read(&c, 1) == 1 ? c : -1;
}

int LSrmBase::peekByteSlow() {
    int32_t available;
    const char* p = peekBytes(1, &available);
    return available >= 1 ? static_cast<unsigned char>(*p) : -1;
}

int32_t LSrmBase::readUnit16() {
    unsigned char b[2];
    if (count_ - index_ >= 2) {
        std::memcpy(b, buf_ + index_, 2);
        index_ += 2;
    } else if (read(b, 2) != 2) {
        return -1;
    }
    return b[0] | b[1] << 8;
}

int32_t LSrmBase::peekUnit16() {
    int32_t available;
    auto* p = reinterpret_cast<const unsigned char*>(peekBytes(2, &available));
    return available >= 2 ? p[0] | p[1] << 8 : -1;
}

int64_t LSrmBase::readUnit32() {
    unsigned char b[4];
    if (read(b, 4) != 4) return -1;
    return int64_t(b[0]) | int64_t(b[1]) << 8 | int64_t(b[2]) << 16 | int64_t(b[3]) << 24;
}

bool LSrmBase::matchLiteral(std::string_view text) {
    int32_t available;
    const char* p = peekBytes(int32_t(text.size()), &available);
    return available >= int32_t(text.size()) && std::memcmp(p, text.data(), text.size()) == 0;
}

bool LSrmBase::matchLiteralNoCase(std::string_view text) {
    int32_t available;
    auto* p = reinterpret_cast<const unsigned char*>(peekBytes(int32_t(text.size()), &available));
    if (available < int32_t(text.size())) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (asciiLower(p[i]) != asciiLower(static_cast<unsigned char>(text[i]))) return false;
    return true;
}

bool LSrmBase::matchLiteral(std::u16string_view text) {
    int32_t need = int32_t(text.size() * 2);
    int32_t available;
    auto* p = reinterpret_cast<const unsigned char*>(peekBytes(need, &available));
    if (available < need) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if ((p[2 * i] | p[2 * i + 1] << 8) != text[i]) return false;
    return true;
}

int32_t LSrmBase::lineFeedsBefore(int32_t end) const {
    const char* p = reinterpret_cast<const char*>(buf_);
    if (!viewing_) return countByte(p, p + end, '\n');
    // A whole text in view is counted from where the last count ended, so
    // that reading block after block does not count from its start each time.
    if (end >= countedTo_)
        countedFeeds_ += countByte(p + countedTo_, p + end, '\n');
    else
        countedFeeds_ -= countByte(p + end, p + countedTo_, '\n');
    countedTo_ = end;
    return countedFeeds_;
}

int32_t LSrmBase::line() const {
    return linesCounted_ ? line_ + lineFeedsBefore(index_) : 0;
}

void LSrmBase::setLine(int32_t n) {
    line_ = n - lineFeedsBefore(index_);
    linesCounted_ = true;
}

int32_t LSrmBase::column() const {
    std::string_view before(reinterpret_cast<const char*>(buf_), size_t(index_));
    size_t lf = before.rfind('\n');
    return lf == std::string_view::npos ? -1 : index_ - int32_t(lf);
}

int LSrmBase::readUntil(std::string_view delimiters, LStr* out) {
    std::array<bool, 256> stop{};
    for (char d : delimiters) stop[static_cast<unsigned char>(d)] = true;
    for (;;) {
        int32_t i = index_;
        while (i < count_ && !stop[buf_[i]]) ++i;
        if (out && i > index_)
            out->append(reinterpret_cast<const char*>(buf_ + index_), i - index_);
        index_ = i;
        if (i < count_) return buf_[i];
        if (!refill()) {
            flags_ |= kEndOfInput;
            return -1;
        }
    }
}

int LSrmBase::readLine(LStr* out, int mode) {
    int end = readUntil("\r\n", out);
    if (end < 0 || mode == kLineLeaveEnd) return end;
    readByte();
    if (out && mode == kLineKeepEnd) out->append(char(end));
    if (end == '\r' && peekByte() == '\n') {
        readByte();
        if (out && mode == kLineKeepEnd) out->append('\n');
    }
    return end;
}
