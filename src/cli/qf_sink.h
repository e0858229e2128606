// qf's message sink and status line. Result text (message number 0) goes to
// stdout: raw Shift-JIS with font markers, or UTF-8 text with the markers
// turned into terminal colours or dropped, every line ended by a line feed
// (CR LF and a bare CR, which would overwrite a line on a terminal) and the
// control characters of names escaped. Numbered messages, and in text mode
// the result view's message lines, go to stderr as
// "qf: [file(line): ]#N: text". Status texts become one progress line on a
// terminal's stderr.
#pragma once
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

#include "cli/qf_options.h"
#include "search/font_markers.h"
#include "search/status_sink.h"
#include "support/message_service.h"

class QfSink : public LMsg {
public:
    // escapeRecords: control characters of record text are escaped as well
    // (on a terminal and with colours); raw output is never changed.
    QfSink(bool raw, bool color, bool escapeRecords);
    void output(int number, const char* position, const char* kind, std::string_view text) override;
    // Messages so far that tell of an error or a failed system call, after
    // which a search may have missed files.
    int troubleCount() const { return trouble_.load(); }

private:
    void writeResult(std::string_view text);
    void writeMessage(int number, const char* position, std::string_view text);
    void appendRun(LStr& out, int font, std::string_view bytes);
    void appendRecordText(LStr& out, std::string_view bytes);

    bool raw_;
    bool color_;
    bool escapeRecords_;
    bool afterCr_ = false;  // the text so far ended in CR: a LF next belongs to it
    FontMarkerReader markers_;
    std::atomic<int> trouble_{0};
};

class QfProgressLine : public StatusSink {
public:
    void setStatus(int part, std::string_view text) override;
    // Clears the line before the summary or a message is printed.
    static void clear();

private:
    std::mutex lock_;
    std::string parts_[5];
    std::chrono::steady_clock::time_point lastDraw_{};
};
