#include "app/result_runs.h"

#include "app/sjis_qstring.h"
#include "base/ctype_table.h"

namespace {

// Whether the last byte of text is a lead byte without its trail; text
// starts at a character boundary. Markers are ASCII and never trail bytes,
// so stepping over them as characters keeps the boundaries right.
bool endsInLeadByte(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) i += isLeadByte(text[i]) ? 2 : 1;
    return i > text.size();
}

// Plain ASCII needs no code-page conversion ("{" may start an escape).
QString decode(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '{') return fromSjis(bytes);
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

}  // namespace

void ResultRunDecoder::feed(std::string_view piece, const RunHandler& onRun) {
    if (piece.empty()) return;
    if (!leadByte_.empty()) {
        leadByte_.append(piece.front());
        const LStr character = std::move(leadByte_);
        leadByte_.clear();
        feedWhole(character.view(), onRun);
        piece.remove_prefix(1);
    }
    if (endsInLeadByte(piece)) {
        leadByte_.append(piece.back());
        piece.remove_suffix(1);
    }
    feedWhole(piece, onRun);
}

void ResultRunDecoder::reset() {
    markers_ = FontMarkerReader();
    leadByte_.clear();
    afterCr_ = false;
}

void ResultRunDecoder::feedWhole(std::string_view text, const RunHandler& onRun) {
    if (text.empty()) return;
    markers_.feed(text, [&](int font, std::string_view bytes) {
        const QString shown = lineEndsToNewlines(decode(bytes));
        if (!shown.isEmpty()) onRun(font, shown);
    });
}

QString ResultRunDecoder::lineEndsToNewlines(const QString& text) {
    if (!text.contains(u'\r') && !(afterCr_ && text.startsWith(u'\n'))) {
        afterCr_ = false;
        return text;
    }
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const bool lineFeedOfCrLf = c == u'\n' && afterCr_;
        afterCr_ = c == u'\r';
        if (lineFeedOfCrLf) continue;
        out.append(afterCr_ ? QChar(u'\n') : c);
    }
    return out;
}
