// Reading a whole buffered stream as bytes or as UTF-16, recognising a
// byte-order mark, and turning a UTF-16 or UTF-8 text with a mark into the
// program's Shift-JIS text.
#pragma once
#include <cstdint>

#include "base/lstr.h"
#include "base/lwstr.h"
#include "text/buffered_stream.h"

enum class TextEncoding { kNative, kUtf16Le, kUtf16Be, kUtf8 };

struct ByteOrderMark {
    TextEncoding encoding = TextEncoding::kNative;
    int32_t length = 0;  // bytes of the mark (0 for native text)
};

// The mark at the read position (FF FE, FE FF or EF BB BF); nothing is
// consumed.
ByteOrderMark detectByteOrderMark(LSrmBase& stream);
// Appends every remaining byte, NUL bytes included; returns the count.
int32_t readAllBytes(LSrmBase& stream, LStr& out);
// Appends the remaining bytes as little-endian UTF-16 units; returns the
// count. U+0000 units are left out (the text around them is kept); a last odd
// byte is dropped.
int32_t readAllUtf16(LSrmBase& stream, LWStr& out);
// The same for one block of the stream; returns the bytes read (0 at the end).
int32_t readUtf16Block(LSrmBase& stream, LWStr& out);
// Exchanges the two bytes of every unit (big-endian <-> little-endian).
void swapUtf16Bytes(LWStr& text);
// For a stream that starts with a byte-order mark: consumes it, reads the
// rest and appends it to out as Shift-JIS (unmappable characters as
// "{%uXXXX}" escapes), with messages about them held back. Returns the
// encoding found; for native text nothing is read and kNative is returned.
TextEncoding readMarkedText(LSrmBase& stream, LStr& out);
