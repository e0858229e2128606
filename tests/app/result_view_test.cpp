#include "app/result_view.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <string>
#include <thread>
#include <vector>

namespace {

// Settings whose ten fonts differ by colour (red = 10 * font number), so a
// fragment's colour names the font it was written in.
AppSettings distinctFonts() {
    AppSettings settings;
    FontRecord* records[] = {&settings.stdFont,  &settings.txtFont,  &settings.hitFont,
                             &settings.insFont,  &settings.delFont,  &settings.msgFont,
                             &settings.spcFont0, &settings.spcFont1, &settings.spcFont2,
                             &settings.spcFont3};
    for (int i = 0; i < 10; ++i) {
        records[i]->color = rgbColor(uint32_t(10 * (i + 1)), 0, 0);
        records[i]->style = 0;
    }
    settings.hitFont.style =
        FontRecord::kBold | FontRecord::kItalic | FontRecord::kUnderline | FontRecord::kStrikeOut;
    return settings;
}

// The document as "text{font}" runs, lines joined by "\n".
std::string describe(const QPlainTextEdit& view) {
    std::string out;
    for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next()) {
        if (block != view.document()->begin()) out += "\n";
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int font = fragment.charFormat().foreground().color().red() / 10;
            out += fragment.text().toStdString() + "{" + std::to_string(font) + "}";
        }
    }
    return out;
}

struct ResultViewTest : ::testing::Test {
    ResultView view;
    void SetUp() override { view.applySettings(distinctFonts()); }
    // Each piece drained on its own: the hardest split for the decoder.
    void feedDrained(const std::vector<std::string>& pieces) {
        for (const std::string& piece : pieces) {
            view.appendPending(piece);
            view.flushPending();
        }
    }
};

TEST_F(ResultViewTest, MarkersSelectFontsAcrossPieces) {
    struct Case {
        const char* name;
        std::vector<std::string> pieces;
        std::string shown;
    };
    const Case cases[] = {
        {"result line",
         {"\x01"
          "1 a.txt(3): \x01"
          "2 x\x01"
          "3 hit\x01"
          "0 y\x01"
          "0 \r\n"},
         "a.txt(3): {1}x{2}hit{3}y{2}\n"},
        {"nested spans return outward",
         {"\x01"
          "3 a\x01"
          "4 b\x01"
          "0 c\x01"
          "0 d"},
         "a{3}b{4}c{3}d{1}"},
        {"marker split",
         {"\x01", "3",
          " X\x01"
          "0",
          " Y"},
         "X{3}Y{1}"},
        {"character split",
         {"\x01"
          "2 \x93",
          "\x8C\x8B", "\x9E"},
         "\xE6\x9D\xB1\xE4\xBA\xAC{2}"},
        {"CR LF split", {"a\r", "\nb\rc"}, "a{1}\nb{1}\nc{1}"},
    };
    for (const Case& c : cases) {
        view.clearView();
        feedDrained(c.pieces);
        EXPECT_EQ(describe(view), c.shown) << c.name;
    }
}

TEST_F(ResultViewTest, FontRecordStylesReachTheFormat) {
    feedDrained(
        {"\x01"
         "2 plain\x01"
         "3 hit"});
    QTextBlock::iterator it = view.document()->begin().begin();
    const QTextCharFormat plain = it.fragment().charFormat();
    const QTextCharFormat hit = (++it).fragment().charFormat();
    EXPECT_EQ(hit.foreground().color(), QColor(30, 0, 0));
    EXPECT_TRUE(hit.font().bold() && hit.fontItalic() && hit.fontUnderline() &&
                hit.fontStrikeOut());
    EXPECT_FALSE(plain.font().bold() || plain.fontItalic() || plain.fontUnderline() ||
                 plain.fontStrikeOut());
}

TEST_F(ResultViewTest, ClearDropsPendingTextAndMarkerState) {
    feedDrained(
        {"\x01"
         "3 a\x01"});
    view.appendPending("b");
    view.clearView();
    feedDrained({"c"});
    EXPECT_EQ(describe(view), "c{1}");
}

TEST_F(ResultViewTest, AppendsFromThreadsArriveCompleteAndInOrder) {
    constexpr int kThreads = 4;
    constexpr int kLines = 3000;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([this, t] {
            for (int n = 0; n < kLines; ++n)
                view.appendPending(
                    "\x01"
                    "2 " +
                    std::to_string(t) + ":" + std::to_string(n) +
                    "\x01"
                    "0 \r\n");
        });
    }
    // The timer drains while the writers run.
    const bool complete = QTest::qWaitFor(
        [&] { return view.document()->blockCount() == kThreads * kLines + 1; }, 20000);
    for (std::thread& writer : writers) writer.join();
    ASSERT_TRUE(complete) << view.document()->blockCount();
    std::vector<int> next(kThreads, 0);
    for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next()) {
        const QStringList parts = block.text().split(u':');
        if (parts.size() != 2) continue;
        const int t = parts[0].toInt();
        EXPECT_EQ(parts[1].toInt(), next[size_t(t)]++) << "thread " << t;
    }
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(next[size_t(t)], kLines);
}

TEST_F(ResultViewTest, TabStopsFollowTheColumnList) {
    struct Case {
        IntList stops;
        int before;  // blanks before the tab
        int column;  // where the text after it starts
    };
    const Case cases[] = {
        {{4, 8}, 0, 4}, {{4, 8}, 5, 8}, {{4, 8}, 9, 12}, {{4, 10}, 5, 10},
        {{4}, 5, 8},    {{}, 1, 8},     {{6, 3}, 7, 12},
    };
    for (const Case& c : cases) {
        AppSettings settings;
        settings.tabSizes2 = c.stops;
        view.applySettings(settings);
        view.clearView();
        view.appendPending(std::string(size_t(c.before), ' ') + "\tX");
        view.flushPending();
        const QTextBlock block = view.document()->begin();
        view.document()->documentLayout()->blockBoundingRect(block);  // lays the block out
        const QTextLine line = block.layout()->lineAt(0);
        const qreal x = line.cursorToX(c.before + 1) - line.cursorToX(0);
        const qreal blank = QFontMetricsF(view.font()).horizontalAdvance(u' ');
        EXPECT_NEAR(x / blank, c.column, 0.1)
            << "blanks " << c.before << ", stops " << testing::PrintToString(c.stops);
    }
}

TEST_F(ResultViewTest, CaretLineOrSelection) {
    struct Case {
        int anchor;
        int position;
        const char* expected;
    };
    const Case cases[] = {{5, 5, "two"}, {4, 4, "two"}, {1, 6, "ne\ntw"}, {9, 12, "hre"}};
    feedDrained({"one\r\ntwo\r\nthree"});
    for (const Case& c : cases) {
        QTextCursor cursor(view.document());
        cursor.setPosition(c.anchor);
        cursor.setPosition(c.position, QTextCursor::KeepAnchor);
        view.setTextCursor(cursor);
        EXPECT_EQ(view.caretLineOrSelection().toStdString(), c.expected) << c.anchor;
    }
}

TEST_F(ResultViewTest, AutoScrollFollowsTheEndOrKeepsTheView) {
    view.resize(300, 150);
    view.show();
    std::string lines;
    for (int n = 0; n < 200; ++n) lines += "line " + std::to_string(n) + "\r\n";
    for (const bool follow : {true, false}) {
        view.clearView();
        view.setAutoScroll(follow);
        feedDrained({lines});
        QScrollBar* bar = view.verticalScrollBar();
        bar->setValue(10);
        feedDrained({lines});
        ASSERT_GT(bar->maximum(), 200) << follow;
        EXPECT_EQ(bar->value(), follow ? bar->maximum() : 10) << "follow " << follow;
    }
}

}  // namespace
