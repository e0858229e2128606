// Streams over memory: LMemStream reads a caller's bytes, LMemSrm is the
// buffered stream over them (so texts in memory parse like files), and
// LMemOutStream appends whatever is written to a caller's LStr. The caller's
// bytes or string must outlive the stream.
#pragma once
#include <cstdint>
#include <string_view>

#include "base/lstr.h"
#include "text/buffered_stream.h"
#include "text/stream.h"

// Read-only stream over bytes the caller keeps.
class LMemStream : public LStream {
public:
    explicit LMemStream(std::string_view bytes)
        : data_(bytes.data()), size_(int32_t(bytes.size())) {}
    explicit LMemStream(const char* text) : LMemStream(std::string_view(text)) {}
    explicit LMemStream(const LStr& text) : LMemStream(text.view()) {}
    explicit LMemStream(const LStr&& text) = delete;  // would read a dead string

    int32_t read(void* buffer, int32_t count) override;
    // Positions 0 to the size are taken, a negative one means the end; any
    // other leaves the position unchanged. Returns the position.
    int64_t seek(int64_t position) override;
    int64_t tell() const override { return position_; }
    void flush() override {}
    bool isOpen() const override { return true; }
    void close() override {}

private:
    const char* data_;
    int32_t size_;
    int32_t position_ = 0;
};

// Buffered stream over bytes the caller keeps.
class LMemSrm : public LSrm {
public:
    explicit LMemSrm(std::string_view bytes) : LSrm(&memory_), memory_(bytes) {}
    explicit LMemSrm(const char* text) : LMemSrm(std::string_view(text)) {}
    explicit LMemSrm(const LStr& text) : LMemSrm(text.view()) {}
    explicit LMemSrm(const LStr&& text) = delete;  // would read a dead string
    ~LMemSrm() override { releaseStream(); }

private:
    LMemStream memory_;
};

class LMemOutStreamBase : public LStream {};

// Appends every write to a caller's LStr.
class LMemOutStream : public LMemOutStreamBase {
public:
    explicit LMemOutStream(LStr& out) : out_(out) {}

    // Appends count bytes; a negative count means up to the first NUL.
    int32_t write(const void* buffer, int32_t count) override;
    // A position below the length cuts the string there; returns the length.
    int64_t seek(int64_t position) override;
    int64_t tell() const override { return out_.length(); }
    void flush() override {}
    bool isOpen() const override { return true; }
    void close() override {}

private:
    LStr& out_;
};
