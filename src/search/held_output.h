// HeldOutput: a message sink that keeps what a thread of a search run shows
// while it searches one file, so that the run can show the files' output in
// walk order whichever thread finishes first. Each message keeps its number
// and source position, and whether a conversion had silenced it.
#pragma once
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "support/message_service.h"

struct HeldMessage {
    int number = 0;
    bool hasPosition = false;
    bool quiet = false;  // reported while a conversion was going on
    LStr position;
    LStr text;
};
using HeldMessages = std::vector<HeldMessage>;

class HeldOutput : public LMsg {
public:
    void output(int number, const char* position, const char* kind, std::string_view text) override;
    // The messages held so far; the sink is empty afterwards.
    HeldMessages take();

private:
    HeldMessages held_;
};

// Shows held messages through the sink of the calling thread's run, in the
// order they came.
void showHeldMessages(const HeldMessages& messages);
