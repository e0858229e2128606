#include "search/font_markers.h"

#include <cstdio>

namespace {

constexpr size_t kMaxStack = 1000;
constexpr size_t kDropOnOverflow = 10;

// Length of the marker at text[0] (0x01 digits blank), 0 when it is not one
// yet (incomplete), -1 when the 0x01 does not start a marker.
int markerLength(std::string_view text, int& font) {
    size_t i = 1;
    font = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i < 8) {
        font = font * 10 + (text[i] - '0');
        ++i;
    }
    if (i == text.size()) return 0;
    if (i == 1 || text[i] != ' ') return -1;
    return int(i + 1);
}

}  // namespace

void appendMarker(LStr& out, int font) {
    char buf[16];
    int n = std::snprintf(buf, sizeof buf, "%c%d ", kMarkerByte, font);
    out.append(buf, n);
}

void FontMarkerReader::apply(int font) {
    if (font == kFontEnd) {
        if (!stack_.empty()) stack_.pop_back();
        return;
    }
    if (stack_.size() >= kMaxStack) stack_.erase(stack_.begin(), stack_.begin() + kDropOnOverflow);
    stack_.push_back(font);
}

void FontMarkerReader::feed(std::string_view piece,
                            const std::function<void(int, std::string_view)>& emit) {
    LStr joined;
    std::string_view text = piece;
    if (!pending_.empty()) {
        joined = pending_;
        joined.append(piece);
        pending_.clear();
        text = joined.view();
    }
    size_t runStart = 0;
    for (size_t i = 0; i < text.size();) {
        if (text[i] != kMarkerByte) {
            ++i;
            continue;
        }
        int font = 0;
        int len = markerLength(text.substr(i), font);
        if (len < 0) {  // a stray 0x01 is shown as it is
            ++i;
            continue;
        }
        if (i > runStart) emit(currentFont(), text.substr(runStart, i - runStart));
        if (len == 0) {
            pending_ = text.substr(i);
            return;
        }
        apply(font);
        i += size_t(len);
        runStart = i;
    }
    if (runStart < text.size()) emit(currentFont(), text.substr(runStart));
}
