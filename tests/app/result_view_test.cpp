#include "app/result_view.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "common/time_factor.h"

namespace {

// Fonts told apart by colour (red = 10 * font number); the hit font has
// every style bit.
AppSettings distinctFonts() {
    AppSettings s;
    FontRecord* records[] = {&s.stdFont, &s.txtFont,  &s.hitFont,  &s.insFont,  &s.delFont,
                             &s.msgFont, &s.spcFont0, &s.spcFont1, &s.spcFont2, &s.spcFont3};
    for (int i = 0; i < 10; ++i) *records[i] = FontRecord(), records[i]->color = 10 * (i + 1);
    s.hitFont.style =
        FontRecord::kBold | FontRecord::kItalic | FontRecord::kUnderline | FontRecord::kStrikeOut;
    return s;
}

std::string styleOf(const QTextCharFormat& f) {
    return "{" + std::to_string(f.foreground().color().red() / 10) + (f.font().bold() ? "b" : "") +
           (f.fontItalic() ? "i" : "") + (f.fontUnderline() ? "u" : "") +
           (f.fontStrikeOut() ? "s" : "") + "}";
}

// The document as "text{font and style letters}" runs, lines joined by "\n":
// each character shows in its own format with the line's layout formats
// laid over it.
std::string describe(const QPlainTextEdit& view) {
    std::string out;
    for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next()) {
        if (block != view.document()->begin()) out += "\n";
        std::vector<QTextCharFormat> shown;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            shown.insert(shown.end(), size_t(it.fragment().length()), it.fragment().charFormat());
        for (const QTextLayout::FormatRange& range : block.layout()->formats())
            for (int i = range.start; i < range.start + range.length && i < int(shown.size()); ++i)
                shown[size_t(i)].merge(range.format);
        const QString text = block.text();
        std::string last;
        for (size_t i = 0; i < shown.size(); ++i) {
            const std::string style = styleOf(shown[i]);
            if (i > 0 && style != last) out += last;
            out += QString(text[qsizetype(i)]).toStdString();
            last = style;
        }
        out += last;
    }
    return out;
}

struct ResultViewTest : ::testing::Test {
    ResultView view;
    void SetUp() override { view.applySettings(distinctFonts()); }
    // Each piece drained on its own: the hardest split for the decoder.
    void feed(const std::vector<std::string>& pieces) {
        for (std::string piece : pieces) {
            std::replace(piece.begin(), piece.end(), '^', kMarkerByte);
            view.appendPending(piece);
            view.flushPending();
        }
    }
};

TEST_F(ResultViewTest, MarkersSelectFontsAcrossPieces) {
    // "^" stands for the marker byte.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"^1 a(3): ^2 x^3 hit^0 y^0 \r\n"}, "a(3): {1}x{2}hit{3bius}y{2}\n"},
        {{"^3 a^4 b^0 c^0 d"}, "a{3bius}b{4}c{3bius}d{1}"},
        {{"^", "4", " X^0", " Y"}, "X{4}Y{1}"},
        {{"^2 \x93", "\x8C\x8B", "\x9E"}, "\xE6\x9D\xB1\xE4\xBA\xAC{2}"},
        {{"a\r", "\nb\r", "c", "\nd"}, "a{1}\nb{1}\nc{1}\nd{1}"},
        {{"^4 a\r\x93"}, "a{4}\n"},  // leaves a span, a CR and a lead byte open...
        {{"\nb"}, "\nb{1}"},         // ...which clearing the view forgets
    };
    for (const auto& [pieces, shown] : cases) {
        view.clearView();
        feed(pieces);
        EXPECT_EQ(describe(view), shown) << testing::PrintToString(pieces);
    }
}

TEST_F(ResultViewTest, AppendsFromThreadsArriveCompleteAndInOrder) {
    constexpr int kThreads = 4, kLines = 3000;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t)
        writers.emplace_back([this, t] {
            for (int n = 0; n < kLines; ++n)
                view.appendPending(std::to_string(t) + ":" + std::to_string(n) + "\r\n");
        });
    // The drain timer runs while the writers do.
    const bool complete =
        QTest::qWaitFor([&] { return view.document()->blockCount() == kThreads * kLines + 1; },
                        20000 * kTimeFactor);
    for (std::thread& writer : writers) writer.join();
    ASSERT_TRUE(complete) << view.document()->blockCount();
    std::vector<int> next(kThreads, 0);
    for (QTextBlock block = view.document()->begin(); block.next().isValid();
         block = block.next()) {
        const size_t t = block.text().section(u':', 0, 0).toUInt();
        EXPECT_EQ(block.text().toStdString(),
                  std::to_string(t) + ":" + std::to_string(next.at(t)++));
    }
}

TEST_F(ResultViewTest, TabStopsFollowTheColumnList) {
    // Tab stops, blanks before the tab, the column where the text after it starts.
    const std::tuple<IntList, int, int> cases[] = {
        {{4, 8}, 5, 8}, {{4, 8}, 9, 12}, {{4}, 5, 8}, {{}, 1, 8}, {{6, 3}, 7, 12}};
    for (const auto& [stops, blanks, column] : cases) {
        AppSettings settings;
        settings.tabSizes2 = stops;
        view.applySettings(settings);
        view.clearView();
        feed({std::string(size_t(blanks), ' ') + "\tX"});
        const QTextBlock block = view.document()->begin();
        view.document()->documentLayout()->blockBoundingRect(block);  // lays it out
        const QTextLine line = block.layout()->lineAt(0);
        const qreal x = line.cursorToX(blanks + 1) - line.cursorToX(0);
        EXPECT_NEAR(x / QFontMetricsF(view.font()).horizontalAdvance(u' '), column, 0.1)
            << blanks << " blanks, stops " << testing::PrintToString(stops);
    }
}

TEST_F(ResultViewTest, CaretLineOrSelection) {
    const std::tuple<int, int, const char*> cases[] = {
        {5, 5, "two"}, {4, 4, "two"}, {1, 6, "ne\ntw"}, {9, 12, "hre"}};
    feed({"one\r\ntwo\r\nthree"});
    for (const auto& [anchor, position, expected] : cases) {
        QTextCursor cursor(view.document());
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        view.setTextCursor(cursor);
        EXPECT_EQ(view.caretLineOrSelection().toStdString(), expected) << anchor;
    }
}

TEST_F(ResultViewTest, AutoScrollFollowsTheEndOrKeepsTheView) {
    view.resize(300, 150);
    view.show();
    std::string lines;
    for (int n = 0; n < 200; ++n) lines += "line\r\n";
    for (const bool follow : {true, false}) {
        view.clearView();
        view.setAutoScroll(follow);
        feed({lines});
        view.verticalScrollBar()->setValue(10);
        feed({lines});
        const QScrollBar* bar = view.verticalScrollBar();
        ASSERT_GT(bar->maximum(), 200);
        EXPECT_EQ(bar->value(), follow ? bar->maximum() : 10) << "follow " << follow;
    }
}

}  // namespace
