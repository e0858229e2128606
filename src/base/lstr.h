// LStr: the program's string of Shift-JIS bytes. Always NUL-terminated, never
// null, length and capacity as 32-bit signed counts. Converts to and from
// std::string_view so code can use standard algorithms on it.
#pragma once
#include <string_view>

#include "base/basic_string_buffer.h"

using LStr = BasicStringBuffer<char>;

inline std::string_view sv(const LStr& s) {
    return s.view();
}

// Byte at i as an unsigned value (Shift-JIS scans compare byte ranges).
inline unsigned char byteAt(std::string_view s, size_t i) {
    return static_cast<unsigned char>(s[i]);
}
