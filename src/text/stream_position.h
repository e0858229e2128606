// LSrmPos: a source position that follows a buffered stream, so messages
// about the text being read name "name(line)" at the current read position.
#pragma once
#include <cstdint>
#include <string_view>

#include "base/lstr.h"
#include "support/source_position.h"
#include "text/buffered_stream.h"

class LSrmPos : public LPos {
public:
    // An empty name takes the stream's own name. The stream must outlive the
    // position (pop it before the stream goes).
    LSrmPos(const LSrmBase& stream, std::string_view name = {}, int32_t lineOffset = 0);

    // "name(line)", the line being the stream's line plus the offset.
    LStr text() const override;
    const LStr* name() const override { return &name_; }
    // 0: the stream's line plus the offset; 1: the stream's column.
    int32_t value(int which) const override;
    void setName(std::string_view name) override { name_ = name; }
    void setOffset(int32_t offset) override { offset_ = offset; }

private:
    LStr name_;
    const LSrmBase& stream_;
    int32_t offset_;
};

// Pushes an LSrmPos for stream on the position stack (pop with popPosition).
void pushPosition(const LSrmBase& stream, std::string_view name = {}, int32_t lineOffset = 0);
