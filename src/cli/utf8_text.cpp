#include "cli/utf8_text.h"

#include "base/lwstr.h"
#include "support/message_service.h"
#include "text/encoding.h"

std::string sjisToUtf8(std::string_view sjis) {
    LWStr wide;
    {
        ConversionQuiet quiet;  // undecodable bytes show as "<?>", not as messages
        mbToWide(sjis, wide, kCodePageAnsi);
    }
    LStr utf8;
    wideToMb(wide.view(), utf8, kCodePageUtf8);
    return std::string(utf8.view());
}

LStr utf8ToSjis(std::string_view utf8) {
    LWStr wide;
    mbToWide(utf8, wide, kCodePageUtf8);
    LStr sjis;
    wideToMb(wide.view(), sjis, kCodePageAnsi);
    return sjis;
}
