// LStream: the interface through which every file and in-memory text is read
// and written. Each stream class overrides the operations it supports; calling
// one it does not support is a fault of the program and ends it with an
// internal error (51000 for read up to 51070 for truncate). Positions are
// 64-bit, so files beyond 2 GiB read through.
#pragma once
#include <cstdint>

class LStream {
public:
    LStream() = default;
    LStream(const LStream&) = delete;
    LStream& operator=(const LStream&) = delete;
    virtual ~LStream() = default;

    // Reads up to count bytes into buffer; returns how many were read.
    virtual int32_t read(void* buffer, int32_t count);
    // Writes count bytes; returns how many were written.
    virtual int32_t write(const void* buffer, int32_t count);
    // Moves to position (a negative one means the end); returns the new position.
    virtual int64_t seek(int64_t position);
    virtual int64_t tell() const;
    // Hands buffered bytes on to the layer below.
    virtual void flush();
    virtual bool isOpen() const;
    virtual void close();
    // Ends the stream at position (a negative one means here).
    virtual void truncate(int64_t position = -1);
    // A NUL-terminated text naming the stream, valid while the stream lives.
    virtual const char* name() const;
};
