// Hexadecimal digits, shared by every reader of escapes ("\x41", "{%u00E9}").
#pragma once

// The value of a hexadecimal digit (either case), or -1.
constexpr int hexDigitValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
