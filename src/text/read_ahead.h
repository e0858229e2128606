// LReadAhead: reads another stream in large blocks, so that a buffered
// stream above it that asks for a few hundred bytes at a time costs one
// system call per block. Seeks inside the block stay in memory; writing and
// truncating go to the source at the position this stream stands at. The
// first block after a seek is small, since a reader that jumps (an index
// search reading its admitted ranges) mostly wants a few hundred bytes
// there, and so is the first one of the file, as many a reader looks at
// its start only; blocks grow back while it reads on.
#pragma once
#include <cstdint>
#include <memory>

#include "text/stream.h"

class LReadAhead : public LStream {
public:
    static constexpr int32_t kBlock = 64 * 1024;
    static constexpr int32_t kJumpBlock = 4 * 1024;
    static constexpr int32_t kFirstBlock = 16 * 1024;

    explicit LReadAhead(LStream& source) : source_(source) {}

    // The next block is as small as one after a seek: the reader is going
    // to jump (it reads a little at the start first).
    void expectJumps() { fill_ = kJumpBlock; }
    // The source was just opened at position 0: the first read needs no tell.
    void sourceOpened() { sourceAt_ = 0; }

    int32_t read(void* buffer, int32_t count) override;
    int32_t write(const void* buffer, int32_t count) override;
    int64_t seek(int64_t position) override;
    int64_t tell() const override;
    void flush() override { source_.flush(); }
    bool isOpen() const override { return source_.isOpen(); }
    void close() override;
    void truncate(int64_t position = -1) override;
    const char* name() const override { return source_.name(); }

private:
    // Moves the source to where this stream stands and forgets the block.
    void settle();

    LStream& source_;
    std::unique_ptr<char[]> block_;
    int64_t blockStart_ = 0;  // the source position of block_[0]
    int32_t index_ = 0;
    int32_t count_ = 0;
    int32_t fill_ = kFirstBlock;  // bytes the next block asks for
    int64_t sourceAt_ = -1;       // where the source stands when known (saves a tell)
};
