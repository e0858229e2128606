// Reading font markers: runs, nesting, pieces and the stack bound.
#include "search/font_markers.h"

#include <gtest/gtest.h>

using Runs = std::vector<std::pair<int, std::string>>;

static Runs readAll(FontMarkerReader& reader, std::vector<std::string_view> pieces) {
    Runs runs;
    for (auto p : pieces)
        reader.feed(p, [&](int font, std::string_view bytes) {
            if (!runs.empty() && runs.back().first == font)
                runs.back().second += bytes;
            else
                runs.emplace_back(font, std::string(bytes));
        });
    return runs;
}

TEST(FontMarkers, ResultLineRuns) {
    LStr line;
    for (auto [font, text] : {std::pair{kFontStd, "memo.txt(12): "},
                              {kFontText, "x "},
                              {kFontHit, "abc"},
                              {kFontEnd, " y\r\n"},
                              {kFontEnd, ""}}) {
        appendMarker(line, font);
        line.append(text);
    }
    FontMarkerReader reader;
    EXPECT_EQ(readAll(reader, {line.view()}),
              (Runs{{1, "memo.txt(12): "}, {2, "x "}, {3, "abc"}, {2, " y\r\n"}}));
    EXPECT_EQ(reader.currentFont(), 1);  // the heading font stays pushed
}

TEST(FontMarkers, SplitMarkersAndStrayControlBytes) {
    FontMarkerReader split, stray;
    EXPECT_EQ(readAll(split, {"a\x01", "1", "0", " b"}), (Runs{{0, "a"}, {10, "b"}}));
    EXPECT_EQ(readAll(stray, {"a\x01x"}), (Runs{{0, "a\x01x"}}));
}

TEST(FontMarkers, StackDropsOldestWhenFull) {
    FontMarkerReader reader;
    LStr text;
    appendMarker(text, 7);
    for (int i = 0; i < 1000; ++i) appendMarker(text, 3);
    for (int i = 0; i < 991; ++i) appendMarker(text, 0);
    readAll(reader, {text.view()});
    // 1001 pushes dropped the 10 oldest (the 7 among them): 991 pops empty it.
    EXPECT_EQ(reader.currentFont(), 0);
}
