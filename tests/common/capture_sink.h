// A message sink for tests: records every message while it is installed and
// restores the previous sink when it goes out of scope.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "support/message_service.h"

struct CapturedMessage {
    int number;
    std::string position;  // empty when none was set
    std::string kind;
    std::string text;
};

class CaptureSink {
public:
    CaptureSink();
    ~CaptureSink();
    CaptureSink(const CaptureSink&) = delete;
    CaptureSink& operator=(const CaptureSink&) = delete;

    const std::vector<CapturedMessage>& messages() const;
    // All texts joined by "\n" (handy for EXPECT_THAT on substrings).
    std::string allText() const;
    void clear();

    struct Shared;  // recorded messages, shared with the installed sink

private:
    std::shared_ptr<Shared> shared_;
    std::unique_ptr<LMsg> previous_;
};

// The recorded messages as plain lists, so one comparison pins them all and
// a failure shows every message: the texts, or "<number> <text>".
using Texts = std::vector<std::string>;
Texts texts(const CaptureSink& sink);
Texts numberedTexts(const CaptureSink& sink);
