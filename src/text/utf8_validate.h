// Checking that bytes are well-formed UTF-8 (no cut, overlong or surrogate
// sequences, nothing beyond U+10FFFF), sixteen bytes at a time.
#pragma once
#include <string_view>

// Whether text is valid UTF-8; multibyte, when given and text is valid,
// tells whether it holds any non-ASCII character.
bool isValidUtf8(std::string_view text, bool* multibyte = nullptr);
