// LSrmBase and LSrm: a buffered stream over any other stream (a file, memory).
// Reading goes through a 1000-byte buffer that always holds two NUL bytes after
// its valid data and keeps the 20 bytes before the read position when it
// slides forward, so callers can peek ahead and step back a little. The stream
// counts lines as it reads, which gives the line numbers of search results and
// of messages about configuration files.
//
// Per-byte reads (readByte, peekByte, peekBytes when enough is buffered) are
// inline and touch only the buffer; refilling is out of line. A stream over
// a whole text in memory can take that memory as its buffer (viewBytes), so
// every byte is visible at once and nothing is copied.
#pragma once
#include <cstdint>
#include <string_view>

#include "base/lstr.h"
#include "text/stream.h"

class LSrmBase : public LStream {
public:
    static constexpr int32_t kCapacity = 1000;
    // Bytes before the read position that stay in the buffer when it slides.
    static constexpr int32_t kKeepBack = 20;
    // How much peekBytes can always make visible at once.
    static constexpr int32_t kMaxPeek = kCapacity - kKeepBack;

    enum Flag : int {
        kDirty = 1,       // the buffer holds bytes not yet written below
        kEndOfInput = 2,  // a read found nothing more; cleared by seek
    };
    // Modes of readLine.
    enum LineMode : int {
        kLineDropEnd = 0,   // consume the line end, leave it out of the text
        kLineKeepEnd = 1,   // consume the line end and append it to the text
        kLineLeaveEnd = 2,  // leave the line end unread
    };

    ~LSrmBase() override;

    // Reads count bytes (fewer at the end, which sets kEndOfInput).
    int32_t read(void* buffer, int32_t count) override;
    // Places count bytes at the read position, overwriting what is there;
    // they reach the stream below when the buffer slides or is flushed.
    int32_t write(const void* buffer, int32_t count) override;
    // A position inside the buffer only moves the read position and keeps the
    // line count; any other writes out the buffer, asks the stream below, and
    // turns line counting off. Clears kEndOfInput.
    int64_t seek(int64_t position) override;
    int64_t tell() const override { return bufStart_ + index_; }
    // Writes out pending bytes (keeping the read position and buffer), then
    // flushes the stream below.
    void flush() override;
    bool isOpen() const override { return stream_ && stream_->isOpen(); }
    // Writes out the buffer and closes the stream below.
    void close() override;

    // Empties the buffer and starts again at position 0, line 1, without
    // writing anything (for a stream below that was just (re)opened).
    void reset();
    // Writes out the buffer and continues over another stream from its start.
    void setStream(LStream* stream);
    LStream* stream() const { return stream_; }
    int flags() const { return flags_; }
    bool endOfInput() const { return (flags_ & kEndOfInput) != 0; }

    // Appends every byte from the read position on to out, reading the
    // stream below in large blocks past this buffer; returns how many. The
    // stream is at its end afterwards, its line number unknown.
    int32_t readRest(LStr& out);

    // The bytes at the read position without consuming them. At least
    // min(n, kMaxPeek) bytes are visible unless the stream ends first; more
    // may be. *available receives how many are visible. The bytes are
    // followed by two NUL bytes, and stay valid until the next operation.
    const char* peekBytes(int32_t n, int32_t* available = nullptr) {
        if (count_ - index_ < n) makeVisible(n);
        if (available) *available = count_ - index_;
        return reinterpret_cast<const char*>(buf_ + index_);
    }
    // Bytes visible at the read position without refilling.
    int32_t buffered() const { return count_ - index_; }
    // Reads and drops n bytes; returns the new position.
    int64_t skipBytes(int32_t n) {
        if (n >= 0 && n <= count_ - index_) {
            index_ += n;
            return tell();
        }
        return skipBytesSlow(n);
    }

    // The next byte (0-255), or -1 at the end.
    int readByte() { return index_ < count_ ? buf_[index_++] : readByteSlow(); }
    int peekByte() { return index_ < count_ ? buf_[index_] : peekByteSlow(); }
    // Little-endian units; -1 when the stream ends first.
    int32_t readUnit16();
    int32_t peekUnit16();
    int64_t readUnit32();

    // Whether the bytes at the read position are text (nothing is consumed;
    // text longer than kMaxPeek may not be seen whole and does not match).
    bool matchLiteral(std::string_view text);
    // The same with ASCII letters compared without case.
    bool matchLiteralNoCase(std::string_view text);
    // The same for UTF-16 text stored little-endian.
    bool matchLiteral(std::u16string_view text);

    // Line number of the read position (1 for the first line); 0 when lines
    // are not counted (after a seek outside the buffer, until setLine).
    int32_t line() const;
    // Makes the read position line n and counts lines from here on.
    void setLine(int32_t n);
    // Distance from the last line feed before the read position (1 right
    // after it); -1 when the buffer holds none before the read position.
    int32_t column() const;

    // Appends bytes to out (when given) up to the first byte that is one of
    // delimiters, which is left unread and returned; -1 at the end.
    int readUntil(std::string_view delimiters, LStr* out);
    // Reads a line into out (when given): the text up to CR or LF, then by
    // mode (LineMode) one line end, CR LF, a lone CR or a lone LF. Returns the
    // first byte of the line end (CR or LF), or -1 when the stream ended
    // first; a last line without a line end is still appended to out.
    int readLine(LStr* out, int mode = kLineDropEnd);

protected:
    explicit LSrmBase(LStream* stream);

    // Lets go of the buffer's leading bytes, writing them below first when
    // the buffer is dirty. keepTail keeps the kKeepBack bytes before the read
    // position (and bytes that could not be written); otherwise the whole
    // buffer goes, and bytes that could not be written are lost (the failure
    // was reported below).
    void flushBuffer(bool keepTail);
    // Reads once from the stream below after the valid data; returns the
    // number of bytes added.
    int32_t fill();
    // Continues with an empty buffer at position, where the stream below
    // stands; lineNumber 0 leaves lines uncounted.
    void restartAt(int64_t position, int32_t lineNumber);
    // Makes data[0, size) the buffer, all of it visible, at position 0, line
    // 1; data must hold two more writable bytes (they become NULs) and
    // outlive the stream. Such a stream is read-only: writes take nothing,
    // and a seek past the end leaves the position unchanged.
    void viewBytes(char* data, int32_t size);
    // Writes out the buffer and forgets the stream below. Classes that embed
    // their stream call this in their destructor, since the embedded stream
    // is gone before this base is destroyed.
    void releaseStream();

private:
    int64_t skipBytesSlow(int32_t n);
    int readByteSlow();
    int peekByteSlow();
    void makeVisible(int32_t n);
    bool refill();
    int32_t writeOut(int32_t n);
    int32_t lineFeedsBefore(int32_t end) const;
    void terminate() { buf_[count_] = buf_[count_ + 1] = 0; }

    LStream* stream_;           // not owned
    int64_t bufStart_ = 0;      // stream position of buffer byte 0
    int64_t streamPos_ = 0;     // where the stream below stands
    int32_t index_ = 0;         // read position in the buffer
    int32_t count_ = 0;         // valid bytes in the buffer
    int32_t line_ = 1;          // line number at buffer byte 0
    bool linesCounted_ = true;  // line_ is valid
    int flags_ = 0;
    int32_t capacity_ = kCapacity;  // the size of the buffer buf_ points to
    bool viewing_ = false;          // buf_ is viewBytes' memory
    // Line feeds in buf_[0, countedTo_) of a text in view, counted so far.
    mutable int32_t countedTo_ = 0;
    mutable int32_t countedFeeds_ = 0;
    unsigned char* buf_ = own_;
    unsigned char own_[kCapacity + 2];
};

// The buffered stream over a stream the caller owns.
class LSrm : public LSrmBase {
public:
    explicit LSrm(LStream* stream) : LSrmBase(stream) {}
};
