// The result view: a read-only text view fed with result text (Shift-JIS
// with font markers) from any thread. Appends land in a pending buffer under
// a lock; a timer on the GUI thread drains it in large pieces, so a run that
// writes many lines costs one document edit per tick, not one per line.
// Font markers become character formats from the ten font records.
#pragma once
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "app/font_formats.h"
#include "app/result_runs.h"
#include "config/app_settings.h"

class ResultView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ResultView(QWidget* parent = nullptr);
    ~ResultView() override;

    // Thread-safe: queues text for the next drain.
    void appendPending(std::string_view text);
    // Drains the pending buffer now (GUI thread).
    void flushPending();
    // Empties the view and the marker state; pending text is dropped.
    void clearView();
    // The fonts of the ten records, tab stops from tabSizes2 and the
    // auto-scroll rule, taken from the settings (GUI thread).
    void applySettings(const AppSettings& settings);
    // Follow the end of the text while appending, or keep the view.
    void setAutoScroll(bool on);
    // The text of the caret's line, or the selection when there is one.
    QString caretLineOrSelection() const;

private:
    // Tab stops at the given character columns (ascending; others are
    // skipped); past the last one, at the multiples of the last distance
    // between stops (8 columns when there are none).
    void setTabColumns(const IntList& columns);
    void startDraining();
    void drainTick();
    // Stops the timer and lets the viewport paint again.
    void endBurst();
    // Inserts pending text until it is all in or budgetMs passed (a
    // negative budget means no limit); returns whether nothing is left.
    bool drain(qint64 budgetMs);
    // A span of text in a font other than the standard one.
    struct FontRun {
        qsizetype start;
        qsizetype length;
        int font;
    };
    void insertRuns(const QString& text, const std::vector<FontRun>& runs);
    // Moves the pending buffer into the work buffer; false when it was empty.
    bool takePending();

    std::mutex lock_;
    std::string pending_;      // guarded by lock_
    bool drainAsked_ = false;  // guarded by lock_: a drain is due

    std::string work_;  // taken from pending_, inserted piece by piece
    size_t workPos_ = 0;
    ResultRunDecoder decoder_;
    ResultFormats formats_;
    QTimer drainTimer_;
    QElapsedTimer sinceShown_;  // valid while a burst is drained
    bool autoScroll_ = true;
};
