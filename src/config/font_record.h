// A font as the settings keep it: face, size, character set, style bits and
// colour. It holds no window-system objects; the GUI derives its fonts and
// brushes from these records whenever it needs them.
#pragma once
#include <cstdint>

#include "base/lstr.h"

// A colour value 0x00BBGGRR.
constexpr uint32_t rgbColor(uint32_t red, uint32_t green, uint32_t blue) {
    return (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16;
}

struct FontRecord {
    // Style bits.
    static constexpr int32_t kBold = 1;
    static constexpr int32_t kItalic = 2;
    static constexpr int32_t kUnderline = 4;
    static constexpr int32_t kStrikeOut = 8;
    // The Shift-JIS character set.
    static constexpr int32_t kShiftJisCharSet = 128;
    // The window-text colour of a fresh record (black).
    static constexpr uint32_t kWindowTextColor = rgbColor(0, 0, 0);

    FontRecord();

    LStr face;          // "ＭＳ ゴシック" by default
    int32_t size = 13;  // points
    int32_t charSet = kShiftJisCharSet;
    int32_t style = 0;
    uint32_t color = kWindowTextColor;
    int32_t pitchAndFamily = 0;  // not kept in the file

    // The character height of the font: minus the size.
    int32_t height() const { return -size; }
    int32_t weight() const { return (style & kBold) ? 700 : 400; }
    bool bold() const { return style & kBold; }
    bool italic() const { return style & kItalic; }
    bool underline() const { return style & kUnderline; }
    bool strikeOut() const { return style & kStrikeOut; }
    uint32_t red() const { return color & 0xFF; }
    uint32_t green() const { return (color >> 8) & 0xFF; }
    uint32_t blue() const { return (color >> 16) & 0xFF; }

    friend bool operator==(const FontRecord&, const FontRecord&) = default;
};
