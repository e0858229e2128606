// The configuration reader: syntax, value forms, error reports and the stop
// after too many errors. The written forms are pinned with the settings.
#include "config/ini.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "config/app_settings.h"

namespace {

// The settings' keys (of every value type) read from text; tabSizes2 starts as {1}.
AppSettings read(std::string_view text) {
    AppSettings s;
    s.tabSizes2 = {1};
    s.loadText(text, "text");
    return s;
}

}  // namespace

// Each text is followed by a line that must still be read.
TEST(Ini, LinesAreReadOrReportedAndSkipped) {
    struct Case {
        const char* text;
        int32_t minRate;
        Texts messages;
        IntList tabSizes = {1};
    } cases[] = {
        {"minRate = 80", 80, {}},  // the token " 80" converts with its blank
        {"minRate=x ; note", 0, {}},
        {"; comment\r\n\r\n  minRate=81", 81, {}},
        {"minRate\r\n=82", 82, {}},         // line ends are blanks before "="
        {"minRate=1\rminRate=84", 84, {}},  // a lone CR ends a line
        {"minRate\t=80", 75, {"missing '=' in minRate"}},
        {"MinRate=80", 75, {"unknown name 'MinRate'"}},
        {"=80", 75, {"illegal character: '='"}},
        {"\tminRate=80", 75, {"illegal character: '?'"}},
        {"mainRc=(1,2,3)", 75, {"',' required instead of ')'"}},
        {"mainRc=(1,2,3,4,5)", 75, {"')' required instead of ','"}},
        {"mainRc=", 75, {"'(' required instead of 'a'"}},  // found on the next line
        {"stdFont=(x,1,80h)", 75, {"',' required instead of ')'"}},
        {"stdFont=(x,1", 75, {"')' required instead of 'a'"}},  // the next line is read
        {"tabSizes2=()", 75, {}, {}},
        {"tabSizes2=(4;8)", 75, {}, {4}},
        {"tabSizes2= (4\r\n,8)", 75, {}, {4, 8}},
        {"tabSizes2=4", 75, {"'(' required instead of '4'"}},
        {"tabSizes2=(4,8", 75, {"')' required instead of 'a'"}, {4, 8}},
        {"tabSizes2=(4(8)", 75, {"',' required instead of '('"}, {4}},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        const AppSettings v = read(std::string(c.text) + "\r\nappTitle=next\r\n");
        EXPECT_EQ(texts(sink), c.messages) << c.text;
        EXPECT_EQ(v.minRate, c.minRate) << c.text;
        EXPECT_EQ(v.tabSizes2, c.tabSizes) << c.text;
        EXPECT_EQ(v.mainRc, AppSettings().mainRc) << c.text;
        EXPECT_EQ(v.stdFont, AppSettings().stdFont) << c.text;
        EXPECT_EQ(v.appTitle, "next") << c.text;
    }
    CaptureSink sink;
    EXPECT_EQ(read("tabSizes2=(4,8").tabSizes2, (IntList{4, 8})) << "the end of the text ends it";
    EXPECT_EQ(texts(sink), Texts{"')' required instead of '?'"});
}

TEST(Ini, ReadingStopsAfterMoreThanTenErrors) {
    for (int badLines : {10, 11}) {
        std::string text;
        for (int i = 0; i < badLines; ++i) text += "bad" + std::to_string(i) + "=1\r\n";
        CaptureSink sink;
        const AppSettings v = read(text + "minRate=90\r\n");
        // The eleventh error is reported, then the stop.
        EXPECT_EQ(sink.messages().size(), badLines == 10 ? 10u : 12u) << badLines;
        EXPECT_EQ(v.minRate, badLines == 10 ? 90 : 75) << "lines after the stop must not be read";
    }
}
