// The byte-class table behind ctypeOf and the is...Byte tests.
#include "base/ctype_table.h"

namespace {

constexpr std::array<uint16_t, 256> makeCtypeTable() {
    std::array<uint16_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
        uint16_t v = 0;
        if (b >= 'A' && b <= 'Z') v |= kCtUpper;
        if (b >= 'a' && b <= 'z') v |= kCtLower;
        if (b >= '0' && b <= '9') v |= kCtDigit;
        if ((b >= 0x21 && b <= 0x2F) || (b >= 0x3A && b <= 0x40) || (b >= 0x5B && b <= 0x60) ||
            (b >= 0x7B && b <= 0x7E))
            v |= kCtPunct;
        if (b == '_') v |= kCtUnderscore;
        if ((b >= 0x09 && b <= 0x0D) || b == 0x20) v |= kCtSpace;
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) v |= kCtLead;
        if (b >= 0xA1 && b <= 0xDF) v |= kCtKana;
        t[b] = v;
    }
    return t;
}

}  // namespace

constinit const std::array<uint16_t, 256> ctypeTable = makeCtypeTable();
