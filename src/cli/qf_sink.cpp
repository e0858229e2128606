#include "cli/qf_sink.h"

#include <optional>

#include "cli/control_escape.h"
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

// The number qf shows for a message line of the result view (an index file
// that cannot be read or written, a stopped run): they have none of their
// own, and they are what the search run has to say besides its results.
constexpr int kResultViewMessage = kMsgSearchNote;

// Errors, and failed system calls reported as warnings.
bool signalsTrouble(int number) {
    return (number > 0 && number < 20000) ||
           (number >= kMsgSystemWarning && number < kMsgSystemWarning + 200);
}

// Fonts of a record's text; the others (headings, positions, messages, the
// summary) are the program's own lines, whose only control bytes besides
// their line ends come from names.
bool isRecordFont(int font) {
    return font != kFontEnd && font != kFontStd && font != kFontMsg;
}

// The text of a message line as the engine writes it (message font, text,
// end marker, CR LF), or nothing for any other text.
std::optional<std::string_view> messageLineText(std::string_view text) {
    static const LStr head = [] {
        LStr marker;
        appendMarker(marker, kFontMsg);
        return marker;
    }();
    static const LStr tail = [] {
        LStr marker;
        appendMarker(marker, kFontEnd);
        return marker.append("\r\n");
    }();
    if (!text.starts_with(head.view()) || !text.ends_with(tail.view())) return std::nullopt;
    text = text.substr(head.view().size(), text.size() - head.view().size() - tail.view().size());
    if (text.find(kMarkerByte) != std::string_view::npos) return std::nullopt;
    return text;
}

// The program's own lines: CR LF, and a CR or LF that ends the text, are
// line ends; any other control byte is a name's and is escaped.
void appendProgramText(LStr& out, std::string_view text, bool& afterCr) {
    if (afterCr && text.starts_with('\n')) text.remove_prefix(1);
    afterCr = false;
    while (!text.empty()) {
        size_t end = text.find("\r\n"), skip = 2;
        if (end == std::string_view::npos) {
            const bool lineEnd = text.back() == '\r' || text.back() == '\n';
            end = text.size() - lineEnd;
            skip = lineEnd;
            afterCr = text.back() == '\r';
        }
        appendEscapedName(out, text.substr(0, end));
        if (skip) out.append('\n');
        text.remove_prefix(end + skip);
    }
}

}  // namespace

QfSink::QfSink(bool raw, bool color, bool escapeRecords)
    : raw_(raw), color_(color), escapeRecords_(escapeRecords) {}

void QfSink::writeResult(std::string_view text) {
    if (raw_) {
        writeOut(text);
        return;
    }
    // In a terminal's output a message would break the lines a reader
    // parses: it joins the numbered ones on stderr, while the results are
    // still being shown (once stdout failed, the stop it caused is no news).
    if (std::optional<std::string_view> message = messageLineText(text)) {
        if (outputOutcome() == WriteOutcome::Written)
            writeMessage(kResultViewMessage, nullptr, *message);
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
            appendRun(rendered, font, bytes.substr(0, body));
            rendered.append("\x1b[0m");
            bytes.remove_prefix(body);
        }
        appendRun(rendered, font, bytes);
    });
    writeOut(sjisToUtf8(rendered));
}

void QfSink::appendRun(LStr& out, int font, std::string_view bytes) {
    if (isRecordFont(font))
        appendRecordText(out, bytes);
    else
        appendProgramText(out, bytes, afterCr_);
}

void QfSink::appendRecordText(LStr& out, std::string_view bytes) {
    for (char c : bytes) {
        if (c == '\n' && afterCr_) {
            afterCr_ = false;
            continue;
        }
        afterCr_ = c == '\r';
        if (afterCr_ || c == '\n')
            out.append('\n');
        else if (escapeRecords_ && actsOnTerminal(c))
            appendHexEscape(out, c);
        else
            out.append(c);
    }
}

void QfSink::writeMessage(int number, const char* position, std::string_view text) {
    if (signalsTrouble(number)) ++trouble_;
    LStr line("qf: ");
    if (position) {
        appendEscapedName(line, position);
        line.append(": ");
    }
    line.append(formatText("#%d: ", number));
    bool afterCr = false;
    appendProgramText(line, text, afterCr);
    if (line.back() != '\n') line.append('\n');
    writeErr(sjisToUtf8(line));
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
    writeMessage(number, position, text);
}

void QfProgressLine::setStatus(int part, std::string_view text) {
    if (part < 1 || part > 4) return;
    std::lock_guard lock(lock_);
    parts_[part] = std::string(text);
    auto now = std::chrono::steady_clock::now();
    if (now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    // The parts name the file being read.
    LStr line;
    appendEscapedName(line, parts_[2] + " " + parts_[3] + " [" + parts_[4] + "] " + parts_[1]);
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
