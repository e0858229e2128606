// Source positions: a stack of "where are we reading" entries (a file and a
// line) that the message service prefixes to every report, so that a syntax
// error names "file(line)". LNnPos holds a name and a number; the buffered
// stream's position (LSrmPos) lives with the streams.
#pragma once
#include <cstdint>
#include <memory>

#include "base/lstr.h"

class LPos {
public:
    virtual ~LPos() = default;
    virtual std::unique_ptr<LPos> clone() const { return nullptr; }
    virtual LStr text() const = 0;
    virtual const LStr* name() const { return nullptr; }
    virtual int32_t value(int which) const {
        (void)which;
        return 0;
    }
    virtual void set(std::string_view name, int32_t number) {
        (void)name;
        (void)number;
    }
    virtual void setName(std::string_view name) { (void)name; }
    virtual void setNumber(int32_t number) { (void)number; }
    virtual void setOffset(int32_t offset) { (void)offset; }
};

// A name with a number ("%s(%d)" by default), optionally following a live
// counter that the reader advances.
class LNnPos : public LPos {
public:
    static constexpr int32_t kNoNumber = INT32_MIN;

    LNnPos(std::string_view name, int32_t number) : name_(name), number_(number) {}
    LNnPos(std::string_view name, const int32_t* liveNumber)
        : name_(name), number_(liveNumber ? *liveNumber : 0), live_(liveNumber) {}

    std::unique_ptr<LPos> clone() const override { return std::make_unique<LNnPos>(*this); }
    LStr text() const override;
    const LStr* name() const override { return &name_; }
    int32_t value(int which) const override;
    void set(std::string_view name, int32_t number) override {
        name_ = name;
        number_ = number;
    }
    void setName(std::string_view name) override { name_ = name; }
    void setNumber(int32_t number) override { number_ = number; }
    void setOffset(int32_t offset) override { offset_ = offset; }
    void setFormat(std::string_view format) { format_ = format; }

private:
    int32_t current() const { return live_ ? *live_ : number_; }

    LStr name_;
    int32_t number_ = 0;
    const int32_t* live_ = nullptr;
    int32_t offset_ = 0;
    LStr format_ = "%s(%d)";
};

// The calling thread's position stack.
void pushPosition(std::unique_ptr<LPos> position);
void pushPosition(std::string_view name, int32_t number);
void pushPosition(std::string_view name, const int32_t* liveNumber);
// Pops the top entry and hands it back (null when the stack is empty).
std::unique_ptr<LPos> popPosition();
// The top entry's text, empty without one.
LStr positionText();
int32_t positionValue(int which);
void setPositionOffset(int32_t offset);
void setPositionNumber(int32_t number);
void setPositionName(std::string_view name);
void clearPositions();

// Pushes a position for the lifetime of the scope.
class PositionScope {
public:
    explicit PositionScope(std::unique_ptr<LPos> position) { pushPosition(std::move(position)); }
    PositionScope(std::string_view name, const int32_t* liveNumber) {
        pushPosition(name, liveNumber);
    }
    ~PositionScope() { popPosition(); }
    PositionScope(const PositionScope&) = delete;
    PositionScope& operator=(const PositionScope&) = delete;
};
