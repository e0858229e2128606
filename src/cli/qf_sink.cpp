#include "cli/qf_sink.h"

#include <cstdio>

#include "platform/terminal.h"
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

void writeAll(StdStream stream, std::string_view bytes) {
    writeStandard(stream, bytes);
}

bool progressShown = false;

}  // namespace

std::string sjisToUtf8(std::string_view sjis) {
    LWStr wide;
    {
        ConversionQuiet quiet;  // undecodable bytes show as "<?>", not as messages
        mbToWide(sjis, wide, kCodePageAnsi);
    }
    LStr utf8;
    wideToMb(wide.view(), utf8, kCodePageUtf8);
    return std::string(utf8.view());
}

LStr utf8ToSjis(std::string_view utf8) {
    LWStr wide;
    mbToWide(utf8, wide, kCodePageUtf8);
    LStr sjis;
    wideToMb(wide.view(), sjis, kCodePageAnsi);
    return sjis;
}

QfSink::QfSink(bool raw, bool color) : raw_(raw), color_(color) {}

void QfSink::writeResult(std::string_view text) {
    if (raw_) {
        writeAll(StdStream::Out, text);
        return;
    }
    LStr rendered;
    markers_.feed(text, [&](int font, std::string_view bytes) {
        const char* sgr = color_ && font > 0 && font < kFontCount ? kFontColors[font] : "";
        if (*sgr) rendered.append("\x1b[").append(sgr).append("m");
        rendered.append(bytes);
        if (*sgr) rendered.append("\x1b[0m");
    });
    writeAll(StdStream::Out, sjisToUtf8(rendered));
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
    writeAll(StdStream::Err, sjisToUtf8(line));
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
    writeAll(StdStream::Err, "\r\x1b[K" + shown);
    progressShown = true;
}

void QfProgressLine::clear() {
    std::lock_guard lock(messageLock());
    if (!progressShown) return;
    writeAll(StdStream::Err, "\r\x1b[K");
    progressShown = false;
}
