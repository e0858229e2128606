// Numbers typed in settings: prefixes, commas, lists, and the messages.
#include "text/number_parse.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"

TEST(ParseNumber, BasesCommasAndSigns) {
    // clang-format off
    const std::tuple<std::string_view, char, int, int32_t> cases[] = {
        // text, allowed end, base, value
        {"0x1F", 0, 0, 31}, {"1,234", 0, 0, 1234}, {"-0n101", 0, 0, -5}, {"010", 0, 0, 10},
        {"0j99", 0, 16, 99}, {"ff", 0, 16, 255}, {"", 0, 0, 0}, {"-", 0, 0, 0},
        {"12:30", ':', 0, 12}, {"0xFFFFFFFF", 0, 0, -1}, {"2147483647", 0, 0, 2147483647},
        {"99999999999", 0, 0, -1}};
    // clang-format on
    for (const auto& [text, allowedEnd, base, value] : cases) {
        CaptureSink sink;
        EXPECT_EQ(parseNumber(text, allowedEnd, base), value) << text;
        EXPECT_TRUE(sink.messages().empty()) << text;
    }
}

TEST(ParseNumber, BadCharacterReportsAndKeepsValue) {
    CaptureSink sink;
    EXPECT_EQ(parseNumber("-0x1G"), -1);
    EXPECT_EQ(parseNumber("0n102"), 2);
    EXPECT_EQ(parseNumber("12:30", ';'), 12);
    EXPECT_EQ(sink.messages().size(), 3u);
    EXPECT_EQ(numberedTexts(sink)[0], "15000 cannot analyze '1G' as a number");
}

TEST(ParseNumberList, KeepsGoodItemsAndReportsBadOnes) {
    CaptureSink sink;
    std::vector<int32_t> list{99};
    EXPECT_EQ(parseNumberList("4, 8,x", ',', list), 1);
    EXPECT_EQ(list, (std::vector<int32_t>{4, 8}));
    EXPECT_EQ(numberedTexts(sink), Texts{"35000 illegal number: 'x'"});
    EXPECT_EQ(parseNumberList("1 ;-2;  30 ;", ';', list), 0);
    EXPECT_EQ(list, (std::vector<int32_t>{1, -2, 30}));
    EXPECT_EQ(parseNumberList("5,6a,7", ',', list), 1);
    EXPECT_EQ(list, (std::vector<int32_t>{5, 7}));
    EXPECT_EQ(sink.messages().size(), 2u);
}
