// A seekable read-write stream over a std::string that can hand out short
// reads and writes (a source in pieces, a full disk). Its bytes may stand at
// base, as in a file with a long hole before them.
#pragma once
#include <algorithm>
#include <climits>
#include <string>

#include "text/stream.h"

class StringStream : public LStream {
public:
    explicit StringStream(std::string data = {}, int32_t maxChunk = INT32_MAX)
        : data(std::move(data)), maxChunk_(maxChunk) {}

    int32_t read(void* buffer, int32_t count) override {
        int32_t n = std::max(0, std::min({count, maxChunk_, int32_t(data.size()) - pos_}));
        data.copy(static_cast<char*>(buffer), size_t(n), size_t(pos_));
        return pos_ += n, n;
    }
    int32_t write(const void* buffer, int32_t count) override {
        int32_t n = std::max(0, std::min({count, maxChunk_, writeLimit - pos_}));
        if (size_t(pos_ + n) > data.size()) data.resize(size_t(pos_ + n));
        data.replace(size_t(pos_), size_t(n), static_cast<const char*>(buffer), size_t(n));
        return pos_ += n, n;
    }
    int64_t seek(int64_t p) override {
        p -= base;
        pos_ = p < 0 || p > int64_t(data.size()) ? int32_t(data.size()) : int32_t(p);
        return base + pos_;
    }
    int64_t tell() const override { return base + pos_; }
    void flush() override {}
    bool isOpen() const override { return true; }
    void close() override {}

    std::string data;
    int32_t writeLimit = INT32_MAX;
    int64_t base = 0;

private:
    int32_t maxChunk_;
    int32_t pos_ = 0;
};
