// Reading literal units and group names from pattern text.
#include "pattern/literal_unit.h"

#include <cstring>

#include "base/ctype_table.h"
#include "pattern/rex_messages.h"
#include "support/message_service.h"
#include "text/escapes.h"

namespace {
unsigned char ubyte(const char* p) {
    return static_cast<unsigned char>(*p);
}
// Bytes that stand for themselves wherever they appear.
bool isUnitByte(unsigned char b) {
    return ctypeTable[b] & (kCtAlnum | kCtKana);
}
}  // namespace

bool readLiteralUnit(const char*& cur, UnitMode mode, LStr& out) {
    const unsigned char b = ubyte(cur);
    if (!b) return false;
    if (isUnitByte(b)) {
        out.append(*cur++);
        return true;
    }
    if (isLeadByte(b)) {
        int n = cur[1] ? 2 : 1;
        out.append(cur, n);
        cur += n;
        return true;
    }
    if (b != '\\') {
        if (mode == UnitMode::Sequence && std::strchr("$()*.?[^{|", b)) return false;
        out.append(*cur++);
        return true;
    }
    if (mode == UnitMode::Class && cur[1] == 'n') {
        out.append('\n');
        cur += 2;
        return true;
    }
    LStr decoded;
    int used = decodeEscape(std::string_view(cur + 1, strnlen(cur + 1, 8)), decoded);
    if (used > 0) {
        out.append(decoded.view());
        cur += 1 + used;
        return true;
    }
    const unsigned char c = ubyte(cur + 1);
    if (isDigitByte(c) && mode != UnitMode::Class) return false;
    if (mode == UnitMode::Sequence && isAssertionLetter(c)) return false;
    if (mode == UnitMode::Template && c == '{') return false;
    if (c && !isUnitByte(c) && !isLeadByte(c)) {
        out.append(cur[1]);
        cur += 2;
        return true;
    }
    char both[3] = {'\\', char(c), 0};
    report(kMsgWarning, jaEn(kJaUnknownEscape, "unknown escape '%s' in regular expression"), both);
    out.append('\\');
    ++cur;
    return true;
}

std::optional<std::string> readGroupName(const char*& cur) {
    const char* p = cur;
    while (isWordByte(ubyte(p))) ++p;
    std::string name(cur, p);
    if (*p != '}') {
        cur = p;
        report(kMsgWarning, "%s", jaEn(kJaMissingBrace, "missing '}'"));
        return std::nullopt;
    }
    cur = p + 1;
    if (name.empty()) {
        report(kMsgWarning, "%s", jaEn(kJaNameEmpty, "name string is empty"));
        return std::nullopt;
    }
    return name;
}
