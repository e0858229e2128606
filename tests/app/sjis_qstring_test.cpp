#include "app/sjis_qstring.h"

#include <gtest/gtest.h>

TEST(SjisQString, RoundTripsJapaneseAndEscapesWhatShiftJisCannotHold) {
    const QString text = QString::fromUtf8("東京①\xF0\x9F\x98\x80");
    const LStr sjis = toSjis(text);
    EXPECT_EQ(sjis.view().substr(0, 6), "\x93\x8C\x8B\x9E\x87\x40");
    EXPECT_EQ(fromSjis(sjis.view()), text);
}
