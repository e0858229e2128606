// Decoding of backslash escapes in typed texts and the printable form that
// shows such texts back. Both walk whole Shift-JIS characters, so a trail
// byte 0x5C is never taken for a backslash.
#include "text/escapes.h"

#include "base/hex.h"
#include "support/message_service.h"
#include "text/sjis.h"

namespace {

// The value of two hexadecimal digits at text[pos], or -1.
int hexByte(std::string_view text, size_t pos) {
    if (pos + 2 > text.size()) return -1;
    int hi = hexDigitValue(byteAt(text, pos));
    int lo = hexDigitValue(byteAt(text, pos + 1));
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

unsigned char byteOrNul(std::string_view text, size_t pos) {
    return pos < text.size() ? byteAt(text, pos) : 0;
}

// The single-letter escapes: the byte they stand for, or -1.
int controlByte(char letter) {
    switch (letter) {
        case '\\':
            return '\\';
        case 'r':
            return 0x0D;
        case 't':
            return 0x09;
        case 'a':
            return 0x07;
        case 'e':
            return 0x1B;
        case 'v':
            return 0x0B;
        case 'f':
            return 0x0C;  // form feed, as everywhere else in C-like escapes
        default:
            return -1;
    }
}

int decodeHexByte(std::string_view text, LStr& out) {
    int value = hexByte(text, 1);
    if (value < 0) {
        unsigned char first = byteOrNul(text, 1);
        unsigned char second = first ? byteOrNul(text, 2) : 0;
        report(kMsgWarning, "illegal escape: '\\x'+%02X+%02X", first, second);
        return 0;
    }
    out.append(char(value));
    return 3;
}

int decodeHexPair(std::string_view text, LStr& out) {
    int hi = hexByte(text, 1);
    int lo = hexByte(text, 3);
    if (hi < 0 || lo < 0) {
        std::string_view shown = text.substr(0, 5);
        report(kMsgWarning, "illegal escape: '%.*s'", int(shown.size()), shown.data());
        return 0;
    }
    out.append(char(hi));
    out.append(char(lo));
    return 5;
}

}  // namespace

int decodeEscape(std::string_view afterBackslash, LStr& out) {
    if (afterBackslash.empty()) return 0;
    char letter = afterBackslash[0];
    if (letter == 'n') {
        out.append("\r\n");
        return 1;
    }
    if (letter == 'x') return decodeHexByte(afterBackslash, out);
    if (letter == 'X' || letter == 'u') return decodeHexPair(afterBackslash, out);
    int byte = controlByte(letter);
    if (byte < 0) return 0;
    out.append(char(byte));
    return 1;
}

bool unescape(LStr& text) {
    std::string_view v = text.view();
    LStr out;
    bool decoded = false;
    for (size_t pos = 0; pos < v.size();) {
        int n = charLength(v, pos);
        if (n == 2 || v[pos] != '\\') {
            out.append(v.substr(pos, n));
            pos += n;
            continue;
        }
        int used = decodeEscape(v.substr(pos + 1), out);
        if (used > 0) {
            decoded = true;
            pos += 1 + used;
            continue;
        }
        report(kMsgWarning, "illegal escape: '\\'+%02X", byteOrNul(v, pos + 1));
        out.append('\\');
        ++pos;
    }
    if (decoded) text = std::move(out);
    return decoded;
}

void printable(std::string_view in, LStr& out) {
    LStr shown;
    for (size_t pos = 0; pos < in.size();) {
        unsigned char b = byteAt(in, pos);
        if (isLeadByte(b) && pos + 1 < in.size() && isTrailByte(byteAt(in, pos + 1))) {
            shown.append(in.substr(pos, 2));
            pos += 2;
            continue;
        }
        ++pos;
        if (b == 0x0D)
            shown.append("\\r");
        else if (b == 0x0A)
            shown.append("\\n");
        else if (b == 0x09)
            shown.append("\\t");
        else if (b >= 0x20 && b <= 0xFD && b != 0x60 && b != 0x7F && b != 0x80 && b != 0xA0)
            shown.append(char(b));
        else
            shown.append(formatText("\\x%02X", b).view());
    }
    out = std::move(shown);
}
