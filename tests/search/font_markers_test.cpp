// Reading font markers: runs, nesting and pieces.
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
