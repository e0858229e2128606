// How single values are spelled in a configuration file: the "!" escapes that
// keep the token delimiters and line ends out of a string, and the
// conversions of a token to a number.
#pragma once
#include <cstdint>
#include <string_view>

#include "base/lstr.h"

// "!" -> "!Q", "(" -> "![", ")" -> "!]", "," -> "!C", CR -> "!r", LF -> "!n",
// TAB -> "!t".
LStr escapeIniText(std::string_view text);
// Undoes escapeIniText; an unknown "!" sequence stays as it stands.
LStr unescapeIniText(std::string_view text);

// Leading white space, an optional sign, then decimal digits up to the first
// other byte; an empty or non-numeric token gives 0. Values beyond the 32-bit
// range are clamped.
int32_t iniDecimal(std::string_view token);
// Leading white space, an optional sign, then hexadecimal digits up to the
// first other byte (the "h" that ends a written value). Values keep their
// 32-bit pattern, so "FFFFFFFFh" reads back as -1.
int32_t iniHex(std::string_view token);
