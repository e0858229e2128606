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
        {"1,234", 0, 0, 1234},
        {"-0n101", 0, 0, -5},
        {"010", 0, 0, 10},
        {"0j99", 0, 16, 99},
        {"ff", 0, 16, 255},
        {"", 0, 0, 0},
        {"-", 0, 0, 0},
        {"12:30", ':', 0, 12},
        {"0xFFFFFFFF", 0, 0, -1},
        {"2147483647", 0, 0, 2147483647},
        {"99999999999", 0, 0, -1},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        EXPECT_EQ(parseNumber(c.text, c.allowedEnd, c.base), c.value) << c.text;
        EXPECT_TRUE(sink.messages().empty()) << c.text;
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

TEST(ParseSize, SuffixesAndUpward) {
    struct Case {
        std::string_view text;
        bool upward;
        int32_t value;
    } cases[] = {
        {"4K", false, 4096},   {"1m", true, 2097151},     {"1k", true, 2047},
        {"100", true, 100},    {"2g", false, 2147483647}, {"0x10k", false, 16384},
        {"-1k", false, -1024},
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

TEST(NumberMessages, JapaneseTextsNameTheInput) {
    CaptureSink sink;
    parseNumber("7z");
    {
        LanguageScope ja('J');
        parseNumber("7z");
    }
    ASSERT_EQ(sink.messages().size(), 2u);
    EXPECT_NE(sink.messages()[1].text, sink.messages()[0].text);
    EXPECT_NE(sink.messages()[1].text.find("7z"), std::string::npos);
}
