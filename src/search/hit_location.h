// Where a hit lives and how to open it: the file and line that a result line
// ("path(line): record") or a bare file name names, and the program and
// arguments that open it. The front end only starts what this decides; the
// path always travels as an argument of its own, never through a shell.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/lstr.h"

struct AppSettings;

// A file and line taken from the start of a line of result text.
struct HitPosition {
    LStr path;
    int32_t line = 1;
};

// "path(line)" at the start of the text, else a leading run of file-name
// bytes (line 1), else nothing. A name that holds "(" or a "/" stops the
// second form, so it catches only a bare name.
std::optional<HitPosition> parseHitPosition(std::string_view text);

enum class HitOpenKind {
    None,     // nothing to open: no position, or no such file
    Editor,   // start program with arguments
    Desktop,  // hand path to the desktop's application for its type
};

struct HitOpening {
    HitOpenKind kind = HitOpenKind::None;
    LStr program;                 // Editor: appToUse
    std::vector<LStr> arguments;  // Editor: the options, then the path
    LStr path;                    // the file to open
    int32_t line = 1;
};

// How to open the hit that lineText names. displayBase (ending in "/") goes
// in front of a relative path; a dictionary body is replaced by its
// converted text under the index folder when that exists.
HitOpening planHitOpening(std::string_view lineText, std::string_view displayBase,
                          const AppSettings& settings);
