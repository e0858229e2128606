// The messages a CaptureSink recorded as plain lists, so one comparison pins
// them all and a failure shows every message.
#pragma once
#include <string>
#include <vector>

#include "common/capture_sink.h"

using Texts = std::vector<std::string>;

// Every recorded text, in order.
inline Texts texts(const CaptureSink& sink) {
    Texts out;
    for (const auto& m : sink.messages()) out.push_back(m.text);
    return out;
}

// Every recorded message as "<number> <text>", in order.
inline Texts numberedTexts(const CaptureSink& sink) {
    Texts out;
    for (const auto& m : sink.messages()) out.push_back(std::to_string(m.number) + " " + m.text);
    return out;
}
