#include "app/result_view.h"

#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>

namespace {

constexpr int kDrainIntervalMs = 50;
// Work per tick: the event loop gets control back after this long, so the
// window stays responsive while a long result streams in.
constexpr qint64 kTickBudgetMs = 30;
// How often the viewport is repainted while a backlog is inserted.
constexpr qint64 kShowIntervalMs = 100;
// Bytes handed to the decoder between two looks at the clock.
constexpr size_t kPieceBytes = 16 * 1024;
constexpr int kDefaultTabColumns = 8;

}  // namespace

ResultView::ResultView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);  // a long result would otherwise be kept twice
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setMaximumBlockCount(0);  // every line of a run stays
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    drainTimer_.setInterval(kDrainIntervalMs);
    connect(&drainTimer_, &QTimer::timeout, this, &ResultView::drainTick);
    setTabColumns({});
}

ResultView::~ResultView() = default;

void ResultView::appendPending(std::string_view text) {
    if (text.empty()) return;
    bool ask = false;
    {
        std::lock_guard guard(lock_);
        pending_.append(text);
        ask = !drainAsked_;
        drainAsked_ = true;
    }
    // One queued call per burst; the timer then runs until the buffer is empty.
    if (ask) QMetaObject::invokeMethod(this, &ResultView::startDraining, Qt::QueuedConnection);
}

void ResultView::startDraining() {
    if (!drainTimer_.isActive()) drainTimer_.start(kDrainIntervalMs);
}

void ResultView::drainTick() {
    // Laying out the lines on screen costs more than inserting them, so
    // while text streams in the viewport is repainted only now and then.
    const bool quiet = sinceShown_.isValid() && sinceShown_.elapsed() < kShowIntervalMs;
    viewport()->setUpdatesEnabled(!quiet);
    if (!quiet) sinceShown_.start();
    if (drain(kTickBudgetMs))
        endBurst();
    else
        drainTimer_.start(0);  // a backlog: come back as soon as events are served
}

void ResultView::endBurst() {
    drainTimer_.stop();
    sinceShown_.invalidate();
    viewport()->setUpdatesEnabled(true);
}

void ResultView::flushPending() {
    drain(-1);
    endBurst();
}

bool ResultView::takePending() {
    work_.clear();
    workPos_ = 0;
    std::lock_guard guard(lock_);
    work_.swap(pending_);
    if (!work_.empty()) return true;
    drainAsked_ = false;
    // The burst is over: give back what a long backlog made the buffers hold.
    pending_.shrink_to_fit();
    work_.shrink_to_fit();
    return false;
}

bool ResultView::drain(qint64 budgetMs) {
    QElapsedTimer clock;
    clock.start();
    QString text;
    std::vector<FontRun> runs;
    const auto addRun = [&](int font, const QString& piece) {
        font = ResultFormats::shownFont(font);
        if (font != kFontStd) {
            if (!runs.empty() && runs.back().font == font &&
                runs.back().start + runs.back().length == text.size())
                runs.back().length += piece.size();
            else
                runs.push_back({text.size(), piece.size(), font});
        }
        text += piece;
    };
    // Each insertion costs a layout update of its own, so a tick inserts
    // once; decoding takes a third of its time, inserting the rest.
    bool empty = false;
    while (budgetMs < 0 || clock.elapsed() < budgetMs / 3) {
        if (workPos_ >= work_.size() && !takePending()) {
            empty = true;
            break;
        }
        const std::string_view piece = std::string_view(work_).substr(workPos_, kPieceBytes);
        workPos_ += piece.size();
        decoder_.feed(piece, addRun);
    }
    insertRuns(text, runs);
    // Without auto-scroll the view stays put by itself: the scroll value is
    // the first line shown, and text only grows below it.
    if (autoScroll_) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    return empty;
}

// The text goes in as one plain insertion in the standard font; the other
// fonts are laid over it as each line's layout formats. Character formats
// per run would cost a document fragment each, which makes a long result
// several times slower to show.
void ResultView::insertRuns(const QString& text, const std::vector<FontRun>& runs) {
    if (text.isEmpty()) return;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    const int start = cursor.position();
    cursor.insertText(text, formats_.format(kFontStd));
    auto run = runs.begin();
    for (QTextBlock block = document()->findBlock(start); block.isValid() && run != runs.end();
         block = block.next()) {
        const qsizetype blockStart = block.position() - start;
        const qsizetype blockEnd = blockStart + block.length();
        QList<QTextLayout::FormatRange> ranges = block.layout()->formats();
        const bool hadRanges = !ranges.isEmpty();
        for (; run != runs.end() && run->start < blockEnd; ++run) {
            const qsizetype from = std::max(run->start, blockStart);
            const qsizetype to = std::min(run->start + run->length, blockEnd);
            if (to > from)
                ranges.append({int(from - blockStart), int(to - from), formats_.format(run->font)});
            if (run->start + run->length > blockEnd) break;  // goes on in the next line
        }
        if (ranges.isEmpty()) continue;
        block.layout()->setFormats(ranges);
        // A line laid out before this insertion shows its new formats only
        // once it is laid out again.
        if (hadRanges || blockStart < 0)
            document()->markContentsDirty(block.position(), block.length());
    }
}

void ResultView::clearView() {
    {
        std::lock_guard guard(lock_);
        pending_.clear();
        drainAsked_ = false;
    }
    endBurst();
    work_.clear();
    workPos_ = 0;
    decoder_.reset();
    clear();
}

void ResultView::applySettings(const AppSettings& settings) {
    formats_.load(settings);
    setFont(fontFromRecord(settings.stdFont));
    setTabColumns(settings.tabSizes2);
    setAutoScroll(settings.dspAutoScroll != 0);
}

void ResultView::setAutoScroll(bool on) {
    autoScroll_ = on;
}

void ResultView::setTabColumns(const IntList& columns) {
    const qreal column = QFontMetricsF(font()).horizontalAdvance(u' ');
    QTextOption option = document()->defaultTextOption();
    QList<QTextOption::Tab> tabs;
    int last = 0;
    int distance = kDefaultTabColumns;
    for (const int32_t stop : columns) {
        if (stop <= last) continue;
        distance = stop - last;
        last = stop;
        tabs.append(QTextOption::Tab(stop * column, QTextOption::LeftTab));
    }
    option.setTabs(tabs);
    option.setTabStopDistance(distance * column);
    document()->setDefaultTextOption(option);
}

QString ResultView::caretLineOrSelection() const {
    const QTextCursor caret = textCursor();
    if (!caret.hasSelection()) return caret.block().text();
    // Line breaks inside a selection come as paragraph separators.
    return caret.selectedText().replace(QChar::ParagraphSeparator, u'\n');
}
