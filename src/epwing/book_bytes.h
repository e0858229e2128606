// BookBytes: random access to the bytes of a dictionary body, from a file
// through a read window or from memory (tests, fuzzing). Every read is
// checked against the size, so a damaged book can never read past its end.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/lstr.h"
#include "text/file_stream.h"

inline constexpr int64_t kBookPageSize = 2048;

// Byte offset of a page (numbered from 1) and an offset into it.
inline int64_t bookPosition(int64_t page, int64_t offset = 0) {
    return (page - 1) * kBookPageSize + offset;
}

class BookBytes {
public:
    // The bytes of a file; isOpen() tells whether it opened.
    explicit BookBytes(std::string_view path);
    // A copy of bytes held in memory.
    static BookBytes fromMemory(std::string_view bytes);

    // The same bytes with a read window of their own, so that reads
    // elsewhere (headings) do not move the window of a forward scan.
    BookBytes second() const;

    bool isOpen() const { return size_ >= 0; }
    int64_t size() const { return size_; }
    const LStr& path() const { return path_; }

    // n bytes at pos into out; false (out untouched) when they are not all
    // there.
    bool read(int64_t pos, void* out, int32_t n);
    // A big-endian number of 1 to 4 bytes at pos; false past the end.
    bool readNumber(int64_t pos, int32_t n, uint32_t& value);

private:
    BookBytes() = default;
    bool fill(int64_t pos);

    LStr path_;
    std::unique_ptr<LFile> file_;
    std::string window_;       // the bytes from windowStart_ (all of them in memory)
    int64_t windowStart_ = 0;  // -1: nothing loaded yet
    int64_t size_ = -1;
};
