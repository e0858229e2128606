// The configuration reader: syntax, value forms, error reports and the stop
// after too many errors. The written forms are pinned with the settings.
#include "config/ini.h"

#include <gtest/gtest.h>

#include <random>

#include "common/capture_sink.h"
#include "support/sink_texts.h"
#include "text/memory_stream.h"

namespace {

// A few variables of every value type, registered under real key names.
struct Vars {
    int32_t minRate = 75;
    LStr appTitle = "def";
    std::vector<LStr> schStrs = {"old"};
    std::vector<int32_t> tabSizes2 = {1};
    WindowRect mainRc{1, 2, 3, 4};
    FontRecord stdFont;

    Vars() {
        ini.addInt("minRate", minRate);
        ini.addString("appTitle", appTitle);
        ini.addStringList("schStrs", schStrs);
        ini.addIntList("tabSizes2", tabSizes2);
        ini.addRect("mainRc", mainRc);
        ini.addFont("stdFont", stdFont);
    }
    void read(std::string_view text) {
        LMemSrm in(text);
        ini.read(in);
    }
    LIni ini;
};

}  // namespace

TEST(Ini, IntegerLines) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"minRate=80", 80},
        {"minRate = 80", 80},  // the token " 80" converts with its blank
        {"minRate=80 ; note", 80},
        {"minRate=-2147483648\r\n", INT32_MIN},
        {"minRate=", 0},
        {"minRate=x", 0},
        {"; comment\r\n\r\n  minRate=81", 81},
        {"minRate\r\n=82", 82},         // line ends are blanks before "="
        {"minRate ; c\n= 83", 83},      // and so are comments
        {"minRate=1\rminRate=84", 84},  // a lone CR ends a line
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        Vars v;
        v.read(c.text);
        EXPECT_EQ(v.minRate, c.value) << c.text;
        EXPECT_TRUE(sink.messages().empty()) << c.text << ": " << sink.allText();
    }
}

TEST(Ini, ListForms) {
    struct Case {
        const char* text;
        std::vector<int32_t> value;
        Texts messages;
    } cases[] = {
        {"tabSizes2=()", {}, {}},
        {"tabSizes2=(4;8)", {4}, {}},
        {"tabSizes2= (4,8)", {4, 8}, {}},
        {"tabSizes2=(4\r\n,8)", {4, 8}, {}},
        {"tabSizes2=4", {1}, {"'(' required instead of '4'"}},
        {"tabSizes2=(4,8", {4, 8}, {"')' required instead of '?'"}},
        {"tabSizes2=(4,8\r\nminRate=1", {4, 8}, {"')' required instead of 'm'"}},
        {"tabSizes2=(4(8)", {4}, {"',' required instead of '('"}},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        Vars v;
        v.read(c.text);
        EXPECT_EQ(v.tabSizes2, c.value) << c.text;
        EXPECT_EQ(texts(sink), c.messages) << c.text;
        if (std::string_view(c.text).ends_with("minRate=1")) {
            EXPECT_EQ(v.minRate, 1) << c.text;
        }
    }
}

TEST(Ini, MalformedLinesAreReportedAndSkipped) {
    struct Case {
        const char* text;
        Texts messages;
    } cases[] = {
        {"minRate\t=80", {"missing '=' in minRate"}},
        {"minRate", {"missing '=' in minRate"}},
        {"minRate 80", {"missing '=' in minRate"}},
        {"MinRate=80", {"unknown name 'MinRate'"}},
        {"min-rate=80", {"unknown name 'min'"}},
        {"=80", {"illegal character: '='"}},
        {"\tminRate=80", {"illegal character: '?'"}},
        {"mainRc=(1,2,3)", {"',' required instead of ')'"}},
        {"mainRc=(1,2,3,4,5)", {"')' required instead of ','"}},
        {"mainRc=x", {"'(' required instead of 'x'"}},
        {"mainRc=", {"'(' required instead of 'a'"}},  // found on the next line
        {"stdFont=(x,1,80h)", {"',' required instead of ')'"}},
        {"stdFont=(x,1", {"')' required instead of 'a'"}},  // cut short: the next line is read
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        Vars v;
        v.read(std::string(c.text) + "\r\nappTitle=next\r\n");
        EXPECT_EQ(texts(sink), c.messages) << c.text;
        EXPECT_EQ(v.minRate, 75) << c.text;
        EXPECT_EQ(v.mainRc, (WindowRect{1, 2, 3, 4})) << c.text;
        EXPECT_EQ(v.stdFont, FontRecord()) << c.text;
        EXPECT_EQ(v.appTitle, "next") << c.text << ": the next line must still be read";
    }
}

TEST(Ini, ReadingStopsAfterMoreThanTenErrors) {
    for (int badLines : {10, 11}) {
        std::string text;
        for (int i = 0; i < badLines; ++i) text += "bad" + std::to_string(i) + "=1\r\n";
        CaptureSink sink;
        Vars v;
        v.read(text + "minRate=90\r\n");
        // The eleventh error is reported, then the stop.
        EXPECT_EQ(sink.messages().size(), badLines == 10 ? 10u : 12u) << badLines;
        EXPECT_EQ(v.minRate, badLines == 10 ? 90 : 75) << "lines after the stop must not be read";
    }
}

TEST(Ini, DamagedInputNeverRunsAway) {
    // Random bytes, line-free runs and NULs: at most eleven errors and the
    // stop message, and the reader returns.
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(4096, '\0');
        for (char& b : bytes) b = char(random());
        if (round % 5 == 0) bytes.insert(0, "schStrs=(");
        CaptureSink sink;
        Vars v;
        v.read(bytes);
        EXPECT_LE(sink.messages().size(), 12u) << round;
    }
}
