// Checking that bytes are well-formed UTF-8 (no cut, overlong or surrogate
// sequences, nothing beyond U+10FFFF), sixteen bytes at a time.
#pragma once
#include <cstdint>
#include <string_view>

// The code point of the sequence whose lead byte (not ASCII) is at p, its
// length in n; -1 when it is cut, overlong, a surrogate or beyond U+10FFFF.
int32_t decodeUtf8Sequence(const unsigned char* p, const unsigned char* end, int& n);

// Whether text is valid UTF-8; multibyte, when given and text is valid,
// tells whether it holds any non-ASCII character.
bool isValidUtf8(std::string_view text, bool* multibyte = nullptr);
