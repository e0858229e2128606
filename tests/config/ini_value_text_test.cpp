// Spelling of single values in the configuration file: the "!" escapes and
// the conversions of tokens to numbers.
#include "config/ini_value_text.h"

#include <gtest/gtest.h>

TEST(IniValueText, EscapesKeepDelimitersAndLineEndsOutOfStrings) {
    struct Case {
        const char* plain;
        const char* written;
    } cases[] = {{"", ""},
                 {"a,b(c)", "a!Cb![c!]"},
                 {"!,", "!Q!C"},
                 {"![", "!Q["},
                 {"!n", "!Qn"},
                 {"line1\r\nline2\tend", "line1!r!nline2!tend"},
                 {"\x95\x5C(", "\x95\x5C!["},  // a trail byte 0x5C is no escape here
                 {" spaced ; text ", " spaced ; text "}};
    for (const auto& c : cases) {
        EXPECT_EQ(escapeIniText(c.plain), c.written) << c.plain;
        EXPECT_EQ(unescapeIniText(c.written), c.plain) << c.written;
    }
    EXPECT_EQ(unescapeIniText("a!xb!"), "a!xb!") << "unknown escapes stay as they stand";
}

TEST(IniValueText, DecimalAndHexTokens) {
    struct Case {
        const char* token;
        int32_t value;
    } decimals[] = {{"\t 80 ; note", 80},
                    {"-12", -12},
                    {"+7", 7},
                    {"abc", 0},
                    {"4;8", 4},
                    {"- 5", 0},
                    {"-2147483648", INT32_MIN},
                    {"99999999999999999999", INT32_MAX},
                    {"-99999999999999999999", INT32_MIN}},
      hexes[] = {{"80h", 128},      {"808000h", 0x808000}, {"ffh", 255},
                 {"FFFFFFFFh", -1}, {" 1Ah", 26},          {"xyz", 0},
                 {"0x10h", 0},      {"123456789h", -1}};
    for (const auto& c : decimals) EXPECT_EQ(iniDecimal(c.token), c.value) << "'" << c.token << "'";
    for (const auto& c : hexes) EXPECT_EQ(iniHex(c.token), c.value) << "'" << c.token << "'";
}
