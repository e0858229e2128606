// LSrmPos: the position of a buffered stream on the message position stack.
#include "text/stream_position.h"

#include <memory>

#include "support/message_service.h"

LSrmPos::LSrmPos(const LSrmBase& stream, std::string_view name, int32_t lineOffset)
    : name_(name.empty() ? std::string_view(stream.name()) : name),
      stream_(stream),
      offset_(lineOffset) {}

LStr LSrmPos::text() const {
    return formatText("%s(%d)", name_.c_str(), stream_.line() + offset_);
}

int32_t LSrmPos::value(int which) const {
    if (which == 0) return stream_.line() + offset_;
    if (which == 1) return stream_.column();
    return 0;
}

void pushPosition(const LSrmBase& stream, std::string_view name, int32_t lineOffset) {
    pushPosition(std::make_unique<LSrmPos>(stream, name, lineOffset));
}
