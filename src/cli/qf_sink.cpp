#include "cli/qf_sink.h"

#include "cli/qf_output.h"
#include "cli/utf8_text.h"
#include "text/encoding.h"

namespace {

// SGR colours for fonts 1 to 10 (close to the fonts' default colours).
const char* const kFontColors[kFontCount] = {
    "",      // no font
    "36",    // heading: teal
    "",      // record text
    "1;31",  // hit: bold red
    "4;34",  // inserted piece: blue, underlined
    "9;31",  // deleted piece: red, struck out
    "31",    // message: dark red
    "34",    // special fonts 0 to 3
    "35",   "33", "90",
};

bool progressShown = false;

}  // namespace

QfSink::QfSink(bool raw, bool color) : raw_(raw), color_(color) {}

void QfSink::writeResult(std::string_view text) {
    if (raw_) {
        writeOut(text);
        return;
    }
    LStr rendered;
    markers_.feed(text, [&](int font, std::string_view bytes) {
        const char* sgr = color_ && font > 0 && font < kFontCount ? kFontColors[font] : "";
        // The colour ends before the line end, so that it never reaches
        // into the next line.
        const size_t body = bytes.find_last_not_of("\r\n") + 1;
        if (*sgr && body > 0) {
            rendered.append("\x1b[").append(sgr).append("m");
            appendLineFeedText(rendered, bytes.substr(0, body));
            rendered.append("\x1b[0m");
            bytes.remove_prefix(body);
        }
        appendLineFeedText(rendered, bytes);
    });
    writeOut(sjisToUtf8(rendered));
}

void QfSink::appendLineFeedText(LStr& out, std::string_view bytes) {
    for (char c : bytes) {
        if (c == '\n' && afterCr_) {
            afterCr_ = false;
            continue;
        }
        afterCr_ = c == '\r';
        out.append(afterCr_ ? '\n' : c);
    }
}

void QfSink::output(int number, const char* position, const char* kind, std::string_view text) {
    (void)kind;
    std::lock_guard lock(messageLock());
    QfProgressLine::clear();
    if (number == 0) {
        writeResult(text);
        return;
    }
    if (conversionQuietCount() > 0) return;
    LStr line("qf: ");
    if (position) line.append(position).append(": ");
    line.append(formatText("#%d: ", number)).append(text).append('\n');
    writeErr(sjisToUtf8(line));
}

void QfProgressLine::setStatus(int part, std::string_view text) {
    if (part < 1 || part > 4) return;
    std::lock_guard lock(lock_);
    parts_[part] = std::string(text);
    auto now = std::chrono::steady_clock::now();
    if (now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    std::string line = parts_[2] + " " + parts_[3] + " [" + parts_[4] + "] " + parts_[1];
    std::string shown = sjisToUtf8(line);
    size_t cut = 100;
    if (shown.size() > cut) {
        while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;
        shown.resize(cut);
    }
    std::lock_guard out(messageLock());
    writeErr("\r\x1b[K" + shown);
    progressShown = true;
}

void QfProgressLine::clear() {
    std::lock_guard lock(messageLock());
    if (!progressShown) return;
    writeErr("\r\x1b[K");
    progressShown = false;
}
