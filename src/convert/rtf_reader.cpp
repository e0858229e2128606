// One forward pass over the bytes with a single position: no group stack, so
// nesting depth costs nothing, and a skipped group is tracked by a counter.
// Only the groups that change \ucN remember the value they replaced.
#include "convert/rtf_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <vector>

#include "base/ctype_table.h"
#include "base/hex.h"
#include "support/stop_flag.h"
#include "text/encoding.h"

namespace {

constexpr size_t kStopPollBytes = 4096;

// Header groups whose whole remainder is skipped when one of these words
// appears in them.
constexpr std::array<std::string_view, 6> kSkippedGroupWords = {
    "fonttbl", "colortbl", "stylesheet", "listtable", "info", "upr"};

bool isAlnum(unsigned char b) {
    return ctypeOf(b) & kCtAlnum;
}

bool startsPlainRun(char c) {
    return c != '\\' && c != '{' && c != '}' && c != '\r' && c != '\n';
}

// The number of a control word such as "u-3913" after its letters; nullopt
// when the word is not those letters followed by a number alone.
std::optional<long> wordNumber(std::string_view word, std::string_view letters) {
    if (!word.starts_with(letters) || word.size() == letters.size()) return std::nullopt;
    long n = 0;
    const char* end = word.data() + word.size();
    auto [p, ec] = std::from_chars(word.data() + letters.size(), end, n);
    if (ec != std::errc() || p != end) return std::nullopt;
    return n;
}

bool skipsGroup(std::string_view word) {
    return word.starts_with("pnseclvl") ||
           std::find(kSkippedGroupWords.begin(), kSkippedGroupWords.end(), word) !=
               kSkippedGroupWords.end();
}

class RtfScanner {
public:
    RtfScanner(std::string_view rtf, LStr& out) : rtf_(rtf), out_(out) {}

    bool run() {
        while (!atEnd() && !pollStop()) {
            const char c = rtf_[pos_++];
            if (c == '{' || c == '}') fallback_ = 0;  // a group bounds a fallback
            if (c == '{')
                ++depth_;
            else if (c == '}')
                closeGroup();
            else if (c == '\\')
                escape();
            else if (startsPlainRun(c))
                plainRun();
            // Line ends are RTF syntax, not text.
        }
        return !stopped_;
    }

private:
    bool atEnd() const { return pos_ >= rtf_.size(); }

    bool pollStop() {
        if (pos_ < nextPoll_) return stopped_;
        nextPoll_ = pos_ + kStopPollBytes;
        stopped_ = stopped_ || stopRequested();
        return stopped_;
    }

    void closeGroup() {
        if (!ucSaved_.empty() && ucSaved_.back().first == depth_) {
            uc_ = ucSaved_.back().second;
            ucSaved_.pop_back();
        }
        --depth_;
    }

    // Appends the byte just read and the ordinary bytes after it, at most up
    // to the next stop poll. Within the fallback of a \uN it drops one.
    void plainRun() {
        if (fallback_ > 0) {
            --fallback_;
            return;
        }
        const size_t start = pos_ - 1;
        const size_t limit = std::min(rtf_.size(), std::max(nextPoll_, pos_));
        while (pos_ < limit && startsPlainRun(rtf_[pos_])) ++pos_;
        out_.append(rtf_.substr(start, pos_ - start));
    }

    void escape() {
        if (atEnd()) return;
        const char d = rtf_[pos_++];
        const bool dropped = fallback_ > 0;
        if (dropped) --fallback_;
        if (d == '*' || isLetterByte(static_cast<unsigned char>(d)))
            controlWord(dropped);
        else if (d == '\'')
            hexByte(dropped);
        else if ((d == '\\' || d == '{' || d == '}') && !dropped)
            out_.append(d);
        // Other control symbols (\~, \-, \_ ...) carry no text here.
    }

    // The word runs on over letters, digits and "-", so it holds its
    // parameter: "fs24", "li-360". One blank after it belongs to the word.
    // A word in the fallback of a \uN is dropped whole.
    void controlWord(bool dropped) {
        const size_t start = pos_ - 1;
        while (!atEnd() && (isAlnum(rtf_[pos_]) || rtf_[pos_] == '-')) ++pos_;
        const std::string_view word = rtf_.substr(start, pos_ - start);
        if (!atEnd() && rtf_[pos_] == ' ') ++pos_;
        if (dropped) return;
        if (word == "par" || word == "line" || word == "page")
            out_.append("\r\n");
        else if (word == "tab")
            out_.append('\t');
        else if (skipsGroup(word))
            skipRestOfGroup();
        else if (auto unit = wordNumber(word, "u"))
            unicodeCharacter(*unit);
        else if (auto count = wordNumber(word, "uc"))
            setFallbackLength(*count);
    }

    // \uN names a UTF-16 unit, negative above 32767; the \ucN characters
    // after it spell the same text for readers without Unicode and are dropped.
    void unicodeCharacter(long unit) {
        if (unit < -32768 || unit > 65535) return;
        const char16_t u = static_cast<char16_t>(unit < 0 ? unit + 65536 : unit);
        wideToMb(std::u16string_view(&u, 1), out_);
        fallback_ = uc_;
    }

    void setFallbackLength(long count) {
        if (count < 0) return;
        if (ucSaved_.empty() || ucSaved_.back().first != depth_) ucSaved_.emplace_back(depth_, uc_);
        uc_ = count;
    }

    // Two hexadecimal digits name one byte; anything else names none.
    void hexByte(bool dropped) {
        const size_t have = std::min<size_t>(2, rtf_.size() - pos_);
        const std::string_view digits = rtf_.substr(pos_, have);
        pos_ += have;
        if (have < 2 || dropped) return;
        const int high = hexDigitValue(digits[0]);
        const int low = hexDigitValue(digits[1]);
        if (high >= 0 && low >= 0) out_.append(static_cast<char>(high * 16 + low));
    }

    // Reads to the brace that closes the group the position is in; an escaped
    // byte never counts as a brace.
    void skipRestOfGroup() {
        size_t depth = 1;
        while (!atEnd() && !pollStop()) {
            const char c = rtf_[pos_++];
            if (c == '\\')
                ++pos_;
            else if (c == '{')
                ++depth;
            else if (c == '}' && --depth == 0)
                break;
        }
        closeGroup();
    }

    std::string_view rtf_;
    LStr& out_;
    size_t pos_ = 0;
    size_t nextPoll_ = 0;
    bool stopped_ = false;
    long long depth_ = 0;                              // unbalanced braces may take it below zero
    long uc_ = 1;                                      // fallback characters after each \uN
    long fallback_ = 0;                                // fallback characters still to drop
    std::vector<std::pair<long long, long>> ucSaved_;  // (group depth, \uc it replaced)
};

}  // namespace

bool rtfToText(std::string_view rtf, LStr& out) {
    return RtfScanner(rtf, out).run();
}
