#include "support/source_position.h"

#include <vector>

#include "support/message_service.h"

namespace {

// Each thread reads its own files: a message names the position of the
// thread that reports it.
std::vector<std::unique_ptr<LPos>>& stack() {
    thread_local std::vector<std::unique_ptr<LPos>> s;
    return s;
}

LPos* top() {
    return stack().empty() ? nullptr : stack().back().get();
}

}  // namespace

LStr LNnPos::text() const {
    if (current() == kNoNumber) return name_;
        // The format is the program's own ("%s(%d)" unless a reader sets another).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    return formatText(format_.c_str(), name_.c_str(), current() + offset_);
#pragma GCC diagnostic pop
}

int32_t LNnPos::value(int which) const {
    return which == 0 ? current() : 0;
}

void pushPosition(std::unique_ptr<LPos> position) {
    stack().push_back(std::move(position));
}

void pushPosition(std::string_view name, int32_t number) {
    pushPosition(std::make_unique<LNnPos>(name, number));
}

void pushPosition(std::string_view name, const int32_t* liveNumber) {
    pushPosition(std::make_unique<LNnPos>(name, liveNumber));
}

std::unique_ptr<LPos> popPosition() {
    if (stack().empty()) return nullptr;
    auto p = std::move(stack().back());
    stack().pop_back();
    return p;
}

LStr positionText() {
    return top() ? top()->text() : LStr();
}

int32_t positionValue(int which) {
    return top() ? top()->value(which) : 0;
}

void setPositionOffset(int32_t offset) {
    if (top()) top()->setOffset(offset);
}

void setPositionNumber(int32_t number) {
    if (top()) top()->setNumber(number);
}

void setPositionName(std::string_view name) {
    if (top()) top()->setName(name);
}

void clearPositions() {
    stack().clear();
}
