// The held-back output of one file and its replay.
#include "search/held_output.h"

#include <optional>

void HeldOutput::output(int number, const char* position, const char*, std::string_view text) {
    HeldMessage& m = held_.emplace_back();
    m.number = number;
    m.hasPosition = position != nullptr;
    if (position) m.position = position;
    m.quiet = conversionQuietCount() > 0;
    m.text = text;
}

HeldMessages HeldOutput::take() {
    HeldMessages out;
    out.swap(held_);
    return out;
}

void showHeldMessages(const HeldMessages& messages) {
    for (const HeldMessage& m : messages) {
        std::optional<ConversionQuiet> quiet;
        if (m.quiet) quiet.emplace();
        deliverMessage(m.number, m.hasPosition ? m.position.c_str() : nullptr, m.text.view());
    }
}
