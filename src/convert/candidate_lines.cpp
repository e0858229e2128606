#include "convert/candidate_lines.h"

#include <string.h>

#include <algorithm>

#include "base/unicode_escape.h"
#include "support/byte_scan.h"
#include "text/sjis.h"
#include "text/utf8_fast.h"
#include "text/utf8_validate.h"

namespace {

// Spellings of one needle past this many are not worth the scans.
constexpr size_t kMaxSpellings = 16;

// The characters an escape is written with.
bool escapeCharacter(unsigned char c) {
    return c == '{' || c == '%' || c == 'u' || c == '}' || (c >= '0' && c <= '9') ||
           (c >= 'A' && c <= 'F');
}

// Whether a needle could match (partly) in an escape: only through one of its
// ASCII characters. A trail byte is no character, so it is not looked at.
bool mayMatchEscape(std::string_view needle) {
    for (size_t pos = 0; pos < needle.size();) {
        const unsigned char c = byteAt(needle, pos);
        const int code = nextChar(needle, pos);
        if (code < 0x80 && escapeCharacter(c)) return true;
    }
    return false;
}

// The escape prefix found from its rare first byte.
bool holdsEscape(std::string_view text) {
    for (size_t pos = 0; (pos = text.find('{', pos)) != std::string_view::npos; ++pos)
        if (text.substr(pos, kUnicodeEscapePrefix.size()) == kUnicodeEscapePrefix) return true;
    return false;
}

// One placeholder line for every line that ends in [p, end), one more for
// text after the last line end. The line ends at p are kept as they are:
// they may belong to the separator of a decoded line before them.
void appendPlaceholders(const char* p, const char* end, char placeholder, LStr& out) {
    const char* text = p;
    while (text < end && (*text == '\n' || *text == '\r')) ++text;
    out.append(p, int32_t(text - p));
    if (text == end) return;
    const int32_t lines = countByte(text, end, '\n');
    const int32_t start = out.length();
    out.resize(start + 2 * lines);
    char* w = out.data() + start;
    for (int32_t i = 0; i < lines; ++i, w += 2) {
        w[0] = placeholder;
        w[1] = '\n';
    }
    if (end[-1] != '\n') out.append(placeholder);
}

}  // namespace

LineNeedles::LineNeedles(const std::vector<std::string_view>& native) {
    std::vector<std::string> spellings;
    for (std::string_view needle : native) {
        if (needle.empty() || mayMatchEscape(needle)) return;
        std::vector<std::string> own = utf8Spellings(needle, kMaxSpellings);
        if (own.empty()) return;
        spellings.insert(spellings.end(), own.begin(), own.end());
    }
    for (char c : std::string_view("x#~_!")) {
        const auto holds = [c](std::string_view n) { return n.find(c) != n.npos; };
        if (std::none_of(native.begin(), native.end(), holds)) {
            placeholder_ = c;
            finder_ = std::make_unique<NeedleFinder>(
                std::vector<std::string_view>(spellings.begin(), spellings.end()));
            return;
        }
    }
}

std::optional<LStr> decodeCandidateLines(std::string_view utf8, const LineNeedles& needles,
                                         bool unmarked, bool checked) {
    if (!needles.usable()) return std::nullopt;
    bool multibyte = false;
    if (!checked && (!isValidUtf8(utf8, &multibyte) || (unmarked && !multibyte)))
        return std::nullopt;
    if (holdsEscape(utf8)) return std::nullopt;
    const NeedleFinder& finder = needles.finder();
    const char* end = utf8.data() + utf8.size();
    LStr out;
    for (const char* p = utf8.data(); p < end;) {
        const char* hit = finder.find(p, end);
        const auto* lastEnd = static_cast<const char*>(memrchr(p, '\n', size_t(hit - p)));
        const char* lineStart = lastEnd ? lastEnd + 1 : p;
        appendPlaceholders(p, hit == end ? end : lineStart, needles.placeholder(), out);
        if (hit == end) break;
        const auto* lineEnd = static_cast<const char*>(memchr(hit, '\n', size_t(end - hit)));
        p = lineEnd ? lineEnd + 1 : end;
        utf8ToNative(std::string_view(lineStart, size_t(p - lineStart)), out);
    }
    return out;
}
