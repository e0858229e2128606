// qf's message sink and status line. Result text (message number 0) goes to
// stdout: raw Shift-JIS with font markers, or UTF-8 text with the markers
// turned into terminal colours or dropped and every line ended by a line
// feed (CR LF and a bare CR, which would overwrite a line on a terminal). Numbered messages go to
// stderr as "qf: [file(line): ]#N: text". Status texts become one progress line on a terminal's
// stderr.
#pragma once
#include <chrono>
#include <mutex>
#include <string>

#include "cli/qf_options.h"
#include "search/font_markers.h"
#include "search/status_sink.h"
#include "support/message_service.h"

class QfSink : public LMsg {
public:
    QfSink(bool raw, bool color);
    void output(int number, const char* position, const char* kind, std::string_view text) override;

private:
    void writeResult(std::string_view text);
    void appendLineFeedText(LStr& out, std::string_view bytes);

    bool raw_;
    bool color_;
    bool afterCr_ = false;  // the text so far ended in CR: a LF next belongs to it
    FontMarkerReader markers_;
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
