#include "cli/control_escape.h"

#include "base/ctype_table.h"
#include "base/unicode_escape.h"

namespace {

// The byte a name that was not UTF-8 had where the escape stands, or -1.
int undecodableByte(std::string_view s) {
    const int unit = parseUnicodeEscape(s);
    return unit >= 0xDC80 && unit <= 0xDCFF ? unit & 0xFF : -1;
}

}  // namespace

bool actsOnTerminal(unsigned char b) {
    return (b < 0x20 && b != '\t') || b == 0x7F;
}

void appendHexEscape(LStr& out, unsigned char b) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out.append("\\x").append(kDigits[b >> 4]).append(kDigits[b & 0xF]);
}

void appendEscapedName(LStr& out, std::string_view sjis) {
    for (size_t i = 0; i < sjis.size();) {
        const unsigned char b = sjis[i];
        if (isLeadByte(b) && i + 1 < sjis.size() && !actsOnTerminal(byteAt(sjis, i + 1))) {
            out.append(sjis.substr(i, 2));
            i += 2;
            continue;
        }
        const int raw = b == '{' ? undecodableByte(sjis.substr(i)) : -1;
        if (raw >= 0) {
            appendHexEscape(out, static_cast<unsigned char>(raw));
            i += kUnicodeEscapeLength;
            continue;
        }
        if (actsOnTerminal(b))
            appendHexEscape(out, b);
        else
            out.append(char(b));
        ++i;
    }
}
