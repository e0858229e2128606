// Conversion between the program's multibyte text (Shift-JIS, or UTF-8 on
// request) and UTF-16. A UTF-16 unit the target cannot hold travels as an
// escape, prefix + four upper-case hex digits + suffix ("{%u00E9}"), and the
// escape converts back on the way in. Work goes in bounded chunks, so memory
// never grows with the input beyond the output string.
#pragma once
#include <cstdint>
#include <string_view>

#include "base/lstr.h"
#include "base/lwstr.h"
#include "base/unicode_escape.h"

inline constexpr int kCodePageAnsi = 0;       // Shift-JIS (code page 932)
inline constexpr int kCodePageUtf8 = 65001;   // UTF-8
inline constexpr int kCodePageEucJp = 51932;  // EUC-JP, for text detected as such

// Decodes multibyte text in codePage and appends it to out; a negative length
// means up to the first NUL. Escapes decode to their unit; bytes that cannot
// be decoded give "<?>" and warning 35007; an escape without its suffix gives
// its unit, "<?>" and warning 35009.
void mbToWide(const char* text, int32_t length, LWStr& out, int codePage, std::string_view prefix,
              std::string_view suffix);
void mbToWide(std::string_view text, LWStr& out, int codePage = kCodePageAnsi);
void mbToWide(const char* text, int32_t length, LWStr& out);

// Encodes UTF-16 into codePage and appends it to out; a negative length means
// up to the first U+0000. Units without an exact mapping (no best-fit
// substitutes) and unpaired surrogates are written as escapes.
void wideToMb(const char16_t* units, int32_t length, LStr& out, int codePage,
              std::string_view prefix, std::string_view suffix);
void wideToMb(std::u16string_view units, LStr& out, int codePage = kCodePageAnsi);
void wideToMb(const char16_t* units, int32_t length, LStr& out);
