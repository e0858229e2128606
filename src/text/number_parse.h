// Numbers typed by users: base prefixes (0x, 0j, 0n), digit-group commas and
// size suffixes (k, m, g).
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

// allowedEnd: a byte at which the number may end besides the end of the text
// ('\0' for none). defaultBase 0 means decimal.
int32_t parseNumber(std::string_view text, char allowedEnd = '\0', int defaultBase = 0);
// upward: the last byte of the unit instead of its first (1k -> 2047).
int32_t parseSize(std::string_view text, bool upward = false);
// Splits at separator and parses decimal items; returns 0 on success, 1 when
// any item was bad (the good ones are kept).
int parseNumberList(std::string_view text, char separator, std::vector<int32_t>& out);
