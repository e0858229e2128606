// The held-back output of one file and its replay.
#include "search/held_output.h"

#include <optional>

#include "support/run_context.h"

namespace {

void show(const HeldMessage& m) {
    std::optional<ConversionQuiet> quiet;
    if (m.quiet) quiet.emplace();
    deliverMessage(m.number, m.hasPosition ? m.position.c_str() : nullptr, m.text.view());
}

}  // namespace

void HeldOutput::output(int number, const char* position, const char*, std::string_view text) {
    std::lock_guard lock(lock_);
    if (passing_) {
        RunContextScope scope(run_);
        deliverMessage(number, position, text);
        return;
    }
    HeldMessage& m = held_.emplace_back();
    m.number = number;
    m.hasPosition = position != nullptr;
    if (position) m.position = position;
    m.quiet = conversionQuietCount() > 0;
    m.text = text;
}

void HeldOutput::passOn() {
    std::lock_guard lock(lock_);
    RunContextScope scope(run_);
    showHeldMessages(held_);
    held_.clear();
    passing_ = true;
}

HeldMessages HeldOutput::take() {
    std::lock_guard lock(lock_);
    passing_ = false;
    HeldMessages out;
    out.swap(held_);
    return out;
}

void showHeldMessages(const HeldMessages& messages) {
    for (const HeldMessage& m : messages) show(m);
}
