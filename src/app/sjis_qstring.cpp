#include "app/sjis_qstring.h"

#include "base/lwstr.h"
#include "support/message_service.h"
#include "text/encoding.h"

QString fromSjis(std::string_view sjis) {
    LWStr wide;
    {
        ConversionQuiet quiet;
        mbToWide(sjis, wide, kCodePageAnsi);
    }
    const std::u16string_view units = wide.view();
    return QString::fromUtf16(units.data(), qsizetype(units.size()));
}

LStr toSjis(const QString& text) {
    LStr sjis;
    wideToMb(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())),
        sjis, kCodePageAnsi);
    return sjis;
}
