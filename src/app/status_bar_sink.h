// Status texts of a run, shown in the main window's four-part status bar.
// Workers set texts at any rate; the latest text of each part is kept under
// a lock and the bar is updated by one queued call at a time, so a run that
// passes thousands of files does not flood the event queue.
#pragma once
#include <QObject>
#include <QString>
#include <array>
#include <mutex>
#include <string>

#include "support/run_context.h"

class QLabel;

class StatusBarSink : public QObject, public StatusSink {
    Q_OBJECT
public:
    static constexpr int kParts = 4;
    explicit StatusBarSink(std::array<QLabel*, kParts> labels, QObject* parent = nullptr);
    void setStatus(int part, std::string_view text) override;
    // Applies the pending texts now (GUI thread).
    void update();

private:
    std::array<QLabel*, kParts> labels_;
    std::mutex lock_;
    std::array<std::string, kParts> texts_;  // Shift-JIS, converted on the GUI thread
    std::array<bool, kParts> changed_{};
    bool posted_ = false;
};
