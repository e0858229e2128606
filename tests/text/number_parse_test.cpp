// Numbers typed in settings: prefixes, commas, size suffixes, lists, and the
// messages in both languages.
#include "text/number_parse.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "support/sink_texts.h"

namespace {

// Sets the message language for one test and restores it.
class LanguageScope {
public:
    explicit LanguageScope(char language) : saved_(messageLanguage()) {
        setMessageLanguage(language);
    }
    ~LanguageScope() { setMessageLanguage(saved_); }

private:
    char saved_;
};

}  // namespace

TEST(ParseNumber, BasesCommasAndSigns) {
    struct Case {
        std::string_view text;
        char allowedEnd;
        int base;
        int32_t value;
    } cases[] = {
        {"0x1F", 0, 0, 31},
        {"0X1f", 0, 0, 31},
        {"1,234", 0, 0, 1234},
        {"-0n101", 0, 0, -5},
        {"010", 0, 0, 10},
        {"0j99", 0, 16, 99},
        {"ff", 0, 16, 255},
        {"0", 0, 0, 0},
        {"", 0, 0, 0},
        {"-", 0, 0, 0},
        {"000", 0, 0, 0},
        {"-12", 0, 0, -12},
        {"12:30", ':', 0, 12},
        {"0xFFFFFFFF", 0, 0, -1},
        {"2147483647", 0, 0, 2147483647},
        {"99999999999", 0, 0, -1},
        {"1,000,000", 0, 0, 1000000},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        EXPECT_EQ(parseNumber(c.text, c.allowedEnd, c.base), c.value) << c.text;
        EXPECT_TRUE(sink.messages().empty()) << c.text;
    }
}

TEST(ParseNumber, BadCharacterReportsAndKeepsValue) {
    CaptureSink sink;
    EXPECT_EQ(parseNumber("12a"), 12);
    EXPECT_EQ(parseNumber("-0x1G"), -1);
    EXPECT_EQ(parseNumber("0n102"), 2);
    EXPECT_EQ(parseNumber("12:30", ';'), 12);
    EXPECT_EQ(numberedTexts(sink), (Texts{"15000 cannot analyze '12a' as a number",
                                          "15000 cannot analyze '1G' as a number",
                                          "15000 cannot analyze '102' as a number",
                                          "15000 cannot analyze '12:30' as a number"}));
}

TEST(ParseSize, SuffixesAndUpward) {
    struct Case {
        std::string_view text;
        bool upward;
        int32_t value;
    } cases[] = {
        {"4k", false, 4096}, {"4K", false, 4096},       {"1m", true, 2097151},
        {"1k", true, 2047},  {"2g", false, 2147483647}, {"1G", false, 1073741824},
        {"100", false, 100}, {"100", true, 100},        {"0x10k", false, 16384},
        {"", false, 0},      {"-1k", false, -1024},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        EXPECT_EQ(parseSize(c.text, c.upward), c.value) << c.text << " upward " << c.upward;
        EXPECT_TRUE(sink.messages().empty()) << c.text;
    }
}

TEST(ParseNumberList, KeepsGoodItemsAndReportsBadOnes) {
    CaptureSink sink;
    std::vector<int32_t> list{99};
    EXPECT_EQ(parseNumberList("4, 8,x", ',', list), 1);
    EXPECT_EQ(list, (std::vector<int32_t>{4, 8}));
    EXPECT_EQ(numberedTexts(sink), Texts{"35000 illegal number: 'x'"});

    sink.clear();
    EXPECT_EQ(parseNumberList("1 ;-2;  30 ;", ';', list), 0);
    EXPECT_EQ(list, (std::vector<int32_t>{1, -2, 30}));
    EXPECT_TRUE(sink.messages().empty());

    EXPECT_EQ(parseNumberList("5,6a,7", ',', list), 1);
    EXPECT_EQ(list, (std::vector<int32_t>{5, 7}));
}

TEST(NumberMessages, JapaneseTexts) {
    LanguageScope ja('J');
    CaptureSink sink;
    EXPECT_EQ(parseNumber("7z"), 7);
    std::vector<int32_t> list;
    EXPECT_EQ(parseNumberList("q", ',', list), 1);
    ASSERT_EQ(sink.messages().size(), 2u);
    // 「7z」を数値として解釈できません
    EXPECT_EQ(sink.messages()[0].text,
              "\x81\x75"
              "7z"
              "\x81\x76\x82\xF0\x90\x94\x92\x6C\x82\xC6\x82\xB5\x82\xC4\x89\xF0"
              "\x8E\xDF\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1");
    // 数値の形式が正しくありません: 'q'
    EXPECT_EQ(sink.messages()[1].text,
              "\x90\x94\x92\x6C\x82\xCC\x8C\x60\x8E\xAE\x82\xAA\x90\xB3\x82\xB5\x82\xAD\x82\xA0"
              "\x82\xE8\x82\xDC\x82\xB9\x82\xF1: 'q'");
}
