// HeldOutput: a message sink that keeps what a thread of a search run shows
// while it searches one file, so that the run can show the files' output in
// walk order whichever thread finishes first. Once every earlier file is
// shown, the file's output passes straight on to the run's sink, so a file
// with many lines streams as it is searched. Each message keeps its number,
// its source position and whether a conversion had silenced it.
#pragma once
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "support/message_service.h"

class RunContext;

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
    // run: the context whose sink shows the output in the end.
    explicit HeldOutput(std::shared_ptr<RunContext> run) : run_(std::move(run)) {}

    void output(int number, const char* position, const char* kind, std::string_view text) override;
    // Shows what is held and passes what comes after straight on, until take().
    void passOn();
    // The messages held since the last take (none once passed on); the sink
    // holds again afterwards.
    HeldMessages take();

private:
    const std::shared_ptr<RunContext> run_;
    std::mutex lock_;  // passOn runs on another thread than output
    bool passing_ = false;
    HeldMessages held_;
};

// Shows held messages through the sink of the calling thread's run, in the
// order they came.
void showHeldMessages(const HeldMessages& messages);
