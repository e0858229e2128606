#include "text/regularize.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "base/ctype_table.h"
#include "text/char_fold.h"

namespace {

struct Suffix {
    std::string_view ending;
    std::string_view replacement;
};

// Tried in order; the first that fits applies.
constexpr Suffix kStemTable[] = {
    {"ations", ""}, {"ation", ""}, {"ies", "i"}, {"ied", "i"}, {"ing", ""}, {"es", ""},
    {"ed", ""},     {"e", ""},     {"ly", ""},   {"ss", "ss"}, {"s", ""},   {"y", "i"},
};

// The letters some ending ends with: most words end in none of them.
constexpr std::array<bool, 256> kLastLetters = [] {
    std::array<bool, 256> last{};
    for (const auto& row : kStemTable) last[static_cast<unsigned char>(row.ending.back())] = true;
    return last;
}();

bool isAlnum(unsigned char b) {
    return ctypeTable[b] & kCtAlnum;
}

// Cuts an English ending off the word in [begin, end), in place; returns
// its new end. No replacement is longer than its ending.
char* stemInPlace(char* begin, char* end) {
    const std::string_view w(begin, size_t(end - begin));
    if (w.size() < 4) return end;  // no ending leaves fewer than three letters
    if (!kLastLetters[static_cast<unsigned char>(w.back())]) return end;
    for (const auto& row : kStemTable) {
        // The last letter first: most words end in none of the endings.
        if (w.back() != row.ending.back()) continue;
        if (w.size() > row.ending.size() + 2 && w.ends_with(row.ending)) {
            char* at = end - row.ending.size();
            std::copy(row.replacement.begin(), row.replacement.end(), at);
            return at + row.replacement.size();
        }
    }
    return end;
}

// Reads the ASCII word at pos (lowered when asked) and stems it.
LStr readWord(std::string_view text, size_t& pos, bool lower) {
    LStr word;
    for (; pos < text.size() && isAlnum(byteAt(text, pos)); ++pos) {
        unsigned char b = byteAt(text, pos);
        word.append(char(lower && (ctypeTable[b] & kCtUpper) ? b | 0x20 : b));
    }
    stemWord(word);
    return word;
}

// The character code of the double-byte character at pos (pos + 1 exists).
int doubleByteAt(std::string_view text, size_t pos) {
    return (byteAt(text, pos) << 8) | byteAt(text, pos + 1);
}

// One Table per kind of folding, each made when first asked for: a search
// uses one or two of the four.
template <class Table>
const Table& tableFor(FoldFlags fold) {
    switch ((fold.ignoreCase ? 2 : 0) + (fold.ignoreWidth ? 1 : 0)) {
        case 0: {
            static const Table table(FoldFlags{false, false});
            return table;
        }
        case 1: {
            static const Table table(FoldFlags{false, true});
            return table;
        }
        case 2: {
            static const Table table(FoldFlags{true, false});
            return table;
        }
        default: {
            static const Table table(FoldFlags{true, true});
            return table;
        }
    }
}

// Calls visit with every code charAt can return: each byte, and each lead
// byte followed by any byte.
template <class Visit>
void forEachCharCode(Visit visit) {
    for (int b = 0; b < 256; ++b) visit(b);
    for (int lead = 0x80; lead < 256; ++lead) {
        if (!isLeadByte(uint8_t(lead))) continue;
        for (int trail = 0; trail < 256; ++trail) visit(lead << 8 | trail);
    }
}

bool isCharCode(int code) {
    return code >= 0 && (code < 256 || (code <= 0xFFFF && isLeadByte(uint8_t(code >> 8))));
}

// The codes that fold to another code, ordered by what they fold to.
class FoldChanges {
public:
    explicit FoldChanges(FoldFlags fold) {
        forEachCharCode([&](int code) {
            const int folded = foldChar(code, fold);
            if (folded != code) changed_.push_back({folded, code});
        });
        std::sort(changed_.begin(), changed_.end());
    }

    // The codes that fold to folded, ascending, with folded itself when it
    // folds to itself (self is whether it does).
    std::vector<int> to(int folded, bool self) const {
        std::vector<int> codes;
        if (self) codes.push_back(folded);
        auto it = std::lower_bound(changed_.begin(), changed_.end(), std::pair{folded, 0});
        for (; it != changed_.end() && it->first == folded; ++it) codes.push_back(it->second);
        std::sort(codes.begin(), codes.end());
        return codes;
    }

private:
    std::vector<std::pair<int, int>> changed_;  // (folded, code)
};

// The regular form of every double-byte character, row by row (one row per
// lead byte). Only the rows of kana, letters and Greek change and 0x81,
// symbols, vanishes; the other rows keep their characters and have no table.
class FoldRows {
public:
    static const FoldRows& of(FoldFlags fold) { return tableFor<FoldRows>(fold); }
    // The folded code of a character, 0 when it vanishes. Both forms are
    // looked up and one kept: Japanese text mixes the rows at every turn.
    int fold(unsigned char lead, unsigned char trail) const {
        const int16_t row = row_[lead];
        const int folded = codes_[size_t(std::max<int16_t>(row, 0)) * 256 + trail];
        const int same = lead << 8 | trail;
        return row >= 0 ? folded : same;
    }

    explicit FoldRows(FoldFlags fold) {
        row_.fill(-1);
        for (int lead = 0x81; lead <= 0xFF; ++lead) {
            if (!isLeadByte(uint8_t(lead))) continue;
            std::array<uint16_t, 256> folded{};
            bool changed = lead == 0x81;
            for (int trail = 0; trail < 256 && lead != 0x81; ++trail) {
                const int code = foldChar(lead << 8 | trail, fold);
                folded[size_t(trail)] = uint16_t(code);
                changed |= code != (lead << 8 | trail);
            }
            if (!changed) continue;
            row_[size_t(lead)] = int16_t(codes_.size() / 256);
            codes_.insert(codes_.end(), folded.begin(), folded.end());
        }
    }

private:
    std::array<int16_t, 256> row_;
    std::vector<uint16_t> codes_;
};

// Writes the regular form of text from w on; returns its end.
char* regularTo(std::string_view text, FoldFlags fold, char* w) {
    const FoldRows& rows = FoldRows::of(fold);
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    for (size_t pos = 0; pos < size;) {
        unsigned char b = p[pos];
        if (isLeadByte(b) && pos + 1 < size) {
            // One or two bytes or none, written without branching on which;
            // the second write stays inside the two bytes just read.
            const int code = rows.fold(b, p[pos + 1]);
            const char low = char(code & 0xFF);
            w[0] = code > 0xFF ? char(code >> 8) : low;
            w[1] = low;
            w += int(code > 0xFF) + int(code != 0);
            pos += 2;
        } else if (isAlnum(b)) {
            char* word = w;
            for (; pos < size && isAlnum(b = p[pos]); ++pos)
                *w++ = char(fold.ignoreCase && (ctypeTable[b] & kCtUpper) ? b | 0x20 : b);
            w = stemInPlace(word, w);
        } else {
            // A lead byte cut off at the end goes too.
            if (isHalfKana(b)) *w++ = char(b);
            ++pos;
        }
    }
    return w;
}

}  // namespace

int foldChar(int code, FoldFlags fold) {
    if (fold.ignoreCase) code = toLowerFull(code);
    if (fold.ignoreWidth) code = fullToHalf(code);
    return code;
}

std::vector<int> foldEquivalents(int code, FoldFlags fold) {
    const int folded = foldChar(code, fold);
    const bool self = isCharCode(folded) && foldChar(folded, fold) == folded;
    return tableFor<FoldChanges>(fold).to(folded, self);
}

void stemWord(LStr& word) {
    char* end = stemInPlace(word.data(), word.data() + word.length());
    word.truncate(int32_t(end - word.data()));
}

std::span<const std::string_view> stemEndings() {
    static const auto endings = [] {
        std::array<std::string_view, std::size(kStemTable)> list{};
        for (size_t i = 0; i < list.size(); ++i) list[i] = kStemTable[i].ending;
        return list;
    }();
    return endings;
}

void regularize(std::string_view text, FoldFlags fold, LStr& out) {
    // The regular form is never longer than the text (every index block goes
    // through here): it is written straight into room for the whole text.
    out.appendWith(int32_t(text.size()),
                   [&](char* room) { return regularTo(text, fold, room) - room; });
}

StemMatch stemCompare(std::string_view text, size_t pos, std::string_view stem, FoldFlags fold,
                      bool wholeText, const std::atomic<int>* stopFlag) {
    const size_t start = pos;
    size_t s = 0;
    while (s < stem.size()) {
        if (pos >= text.size() || (stopFlag && stopFlag->load(std::memory_order_relaxed)))
            return {};
        unsigned char b = byteAt(text, pos);
        if (isAlnum(b)) {
            LStr word = readWord(text, pos, fold.ignoreCase);
            if (stem.substr(s, word.length()) != word.view()) return {};
            s += word.length();
        } else if (!isLeadByte(b)) {
            if (isHalfKana(b)) {
                if (byteAt(stem, s) != b) return {};
                ++s;
            }
            ++pos;
        } else if (pos + 1 >= text.size()) {
            return {};
        } else {
            if (b != 0x81) {
                int code = foldChar(doubleByteAt(text, pos), fold);
                char bytes[2] = {char(code >> 8), char(code & 0xFF)};
                std::string_view folded =
                    code > 0xFF ? std::string_view(bytes, 2) : std::string_view(bytes + 1, 1);
                if (stem.substr(s, folded.size()) != folded) return {};
                s += folded.size();
            }
            pos += 2;
        }
    }
    if (wholeText && pos != text.size()) return {};
    return {true, int(pos - start)};
}
