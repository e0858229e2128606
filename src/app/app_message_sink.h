// The desktop program's message sink. Plain text (number 0) goes to the
// result view through its pending buffer and into the collected text of the
// current result page; every numbered message is shown in a message box,
// "#N: text", on the GUI thread (a worker that reports waits for the box).
// Messages of a thread that is converting a file are dropped.
#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>

#include "base/lstr.h"
#include "support/message_service.h"

class QWidget;

// Where the sink's text goes; shared by the run context's sink and the
// process's sink, and swapped by the main window as it comes and goes.
class MessageTarget {
public:
    // Text for the result view (thread-safe on the view's side).
    void setResultText(std::function<void(std::string_view)> append);
    void setBoxParent(QWidget* parent);
    QWidget* boxParent() const;
    void appendResult(std::string_view text);
    // The text collected since the last take (the current page).
    LStr takePage();

private:
    mutable std::mutex lock_;
    std::function<void(std::string_view)> append_;
    QWidget* boxParent_ = nullptr;
    LStr page_;
};

class AppMessageSink : public LMsg {
public:
    explicit AppMessageSink(std::shared_ptr<MessageTarget> target) : target_(std::move(target)) {}
    void output(int number, const char* position, const char* kind, std::string_view text) override;

private:
    std::shared_ptr<MessageTarget> target_;
};

// The text a message box shows for a numbered message.
LStr messageBoxText(int number, std::string_view text);
