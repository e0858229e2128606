// Turns result text that arrives in arbitrary pieces into runs of display
// text with their font number: markers go (FontMarkerReader keeps their
// stack), CR LF and a bare CR become "\n" even when a piece ends between
// the two, and a lead byte at the end of a piece waits for its trail byte.
#pragma once
#include <QString>
#include <functional>
#include <string_view>

#include "base/lstr.h"
#include "search/font_markers.h"

class ResultRunDecoder {
public:
    using RunHandler = std::function<void(int font, const QString& text)>;

    void feed(std::string_view piece, const RunHandler& onRun);
    // Forgets markers, a kept lead byte and a pending CR.
    void reset();

private:
    void feedWhole(std::string_view text, const RunHandler& onRun);
    QString lineEndsToNewlines(const QString& text);

    FontMarkerReader markers_;
    LStr leadByte_;         // a lead byte whose trail is still to come
    bool afterCr_ = false;  // the last text shown ended in CR
};
