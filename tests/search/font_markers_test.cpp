// Reading font markers: runs, nesting, pieces and the stack bound.
#include "search/font_markers.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Runs = std::vector<std::pair<int, std::string>>;

Runs readAll(FontMarkerReader& reader, std::vector<std::string_view> pieces) {
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

}  // namespace

TEST(FontMarkers, ResultLineRuns) {
    LStr line;
    appendMarker(line, kFontStd);
    line.append("memo.txt(12): ");
    appendMarker(line, kFontText);
    line.append("x ");
    appendMarker(line, kFontHit);
    line.append("abc");
    appendMarker(line, kFontEnd);
    line.append(" y\r\n");
    appendMarker(line, kFontEnd);
    EXPECT_EQ(line.view().substr(0, 3),
              "\x01"
              "1 ");
    FontMarkerReader reader;
    Runs expected{{1, "memo.txt(12): "}, {2, "x "}, {3, "abc"}, {2, " y\r\n"}};
    EXPECT_EQ(readAll(reader, {line.view()}), expected);
    EXPECT_EQ(reader.currentFont(), 1);  // the heading font stays pushed
}

TEST(FontMarkers, MarkerSplitAcrossPieces) {
    FontMarkerReader reader;
    Runs expected{{0, "a"}, {10, "b"}};
    EXPECT_EQ(readAll(reader, {"a\x01", "1", "0", " b"}), expected);
}

TEST(FontMarkers, StrayControlByteIsText) {
    FontMarkerReader reader;
    Runs expected{{0, "a\x01x"}};
    EXPECT_EQ(readAll(reader, {"a\x01x"}), expected);
}

TEST(FontMarkers, StackDropsOldestWhenFull) {
    FontMarkerReader reader;
    LStr text;
    appendMarker(text, 7);
    for (int i = 0; i < 1000; ++i) appendMarker(text, 3);
    for (int i = 0; i < 991; ++i) appendMarker(text, 0);
    readAll(reader, {text.view()});
    // 1001 pushes dropped the 10 oldest (the 7 among them): 991 entries, 991 pops empty it.
    EXPECT_EQ(reader.currentFont(), 0);
}
