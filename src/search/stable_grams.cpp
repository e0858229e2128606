// Stable segments of a literal. The walk follows the tokens of index-mode
// regularisation: inner words are stemmed exactly as in any text, words at an
// open edge keep only the letters no stemming of a longer word can cut, and
// characters whose other width regularises differently end a segment.
#include "search/stable_grams.h"

#include <algorithm>

#include "base/ctype_table.h"
#include "text/char_fold.h"
#include "text/regularize.h"
#include "text/sjis.h"

namespace {

bool isAlnum(unsigned char b) {
    return ctypeTable[b] & kCtAlnum;
}

// The most letters stemming can cut from the end of word (lowered) when the
// text may put letters before it (before) or after it (after). Every ending
// and every split of an ending between the word and what follows counts, so
// the result bounds what any text does to the word.
int maxStemCut(std::string_view word, bool before, bool after) {
    const size_t n = word.size();
    size_t best = 0;
    for (std::string_view ending : stemEndings()) {
        const size_t lastSplit = after ? ending.size() - 1 : 0;
        for (size_t tail = 0; tail <= lastSplit; ++tail) {
            const size_t inWord = ending.size() - tail;  // part ending at the word's end
            if (inWord <= n) {
                if (word.ends_with(ending.substr(0, inWord))) best = std::max(best, inWord);
            } else if (before && ending.substr(inWord - n, n) == word) {
                best = n;
            }
        }
    }
    return int(best);
}

// Half-width characters whose full-width twins are symbols that
// regularisation drops (and the other way round): 「」、。・ー゛゜.
bool hasDroppedTwin(int code) {
    if (code <= 0xFF) return (halfToFull(code) >> 8) == 0x81;
    return (code >> 8) == 0x81 && isHalfKana(static_cast<unsigned char>(fullToHalf(code)));
}

class SegmentBuilder {
public:
    SegmentBuilder(std::string_view literal, GramContext context)
        : text_(literal), context_(context) {}

    std::vector<LStr> build() {
        while (pos_ < text_.size()) {
            unsigned char b = byteAt(text_, pos_);
            if (isAlnum(b)) {
                word();
            } else if (!isLeadByte(b)) {
                singleByte(b);
            } else if (pos_ + 1 >= text_.size()) {
                ++pos_;  // a lead byte cut off at the end
                cut();
            } else {
                doubleByte();
            }
        }
        cut();
        return std::move(segments_);
    }

private:
    void cut() {
        if (!current_.empty()) segments_.push_back(std::move(current_));
        current_.clear();
    }

    void word() {
        const size_t start = pos_;
        while (pos_ < text_.size() && isAlnum(byteAt(text_, pos_))) ++pos_;
        LStr w = asciiLowered(text_.substr(start, pos_ - start));
        if (context_.anyWidth) {
            // Letters may stand in the other width, which is never stemmed.
            for (char c : w.view()) {
                if (isDigitByte(static_cast<unsigned char>(c)))
                    current_.append(c);
                else
                    cut();
            }
            return;
        }
        const bool before = context_.openBefore && start == 0;
        const bool after = context_.openAfter && pos_ == text_.size();
        if (!before && !after) {
            stemWord(w);
            current_.append(w.view());
            return;
        }
        const int cutLength = maxStemCut(w.view(), before, after);
        current_.append(w.view().substr(0, w.size() - cutLength));
        if (cutLength > 0) cut();
    }

    void singleByte(unsigned char b) {
        ++pos_;
        if (!isHalfKana(b)) return;  // spaces and symbols vanish everywhere
        if (context_.anyWidth && hasDroppedTwin(b)) return cut();
        current_.append(char(b));
    }

    void doubleByte() {
        int code = charAt(text_, pos_);
        pos_ += 2;
        if ((code >> 8) == 0x81) {
            if (context_.anyWidth && hasDroppedTwin(code)) cut();
            return;
        }
        int folded = fullToHalf(toLowerFull(code));
        if (context_.anyWidth && folded <= 0xFF && isLetterByte(static_cast<unsigned char>(folded)))
            return cut();
        appendChar(current_, folded);
    }

    std::string_view text_;
    GramContext context_;
    size_t pos_ = 0;
    LStr current_;
    std::vector<LStr> segments_;
};

}  // namespace

std::vector<LStr> stableSegments(std::string_view literal, GramContext context) {
    return SegmentBuilder(literal, context).build();
}

void addStableGrams(GramSignature& sig, std::string_view literal, GramContext context) {
    for (const LStr& segment : stableSegments(literal, context)) addGrams(sig, segment.view());
}
