// The smallest pieces of pattern text: literal units (one character, or the
// bytes of one escape) and group names. Patterns, character classes and
// replacement templates read them with slightly different rules.
#pragma once
#include <cstring>
#include <optional>
#include <string>

#include "base/lstr.h"

enum class UnitMode {
    Sequence,  // outside a class: metacharacters are not units
    Class,     // inside "[...]": every byte is a unit, "\n" is LF alone
    Template,  // replacement templates: "\digit" and "\{" are references
};

// Appends the unit at cur to out and moves cur past it; false (cur unmoved)
// when the text there is no unit.
bool readLiteralUnit(const char*& cur, UnitMode mode, LStr& out);

// Whether a backslash and this letter form an assertion or a class letter
// ("\b", "\d", "\w", ...) rather than an escaped character.
inline bool isAssertionLetter(unsigned char c) {
    return c && std::strchr("bBcCdDpPsSwW", c);
}

// Reads a run of [A-Za-z0-9_] and its closing "}" at cur. Reports an empty
// name or a missing "}" and returns no name then.
std::optional<std::string> readGroupName(const char*& cur);
