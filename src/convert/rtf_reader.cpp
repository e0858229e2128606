// One forward pass over the bytes with a single position: no group stack, so
// nesting depth costs nothing, and a skipped group is tracked by a counter.
#include "convert/rtf_reader.h"

#include <algorithm>
#include <array>

#include "base/ctype_table.h"
#include "base/hex.h"
#include "support/stop_flag.h"

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
            if (c == '\\')
                escape();
            else if (startsPlainRun(c))
                plainRun();
            // Unescaped braces and line ends are RTF syntax, not text.
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

    // Appends the byte just read and the ordinary bytes after it, at most up
    // to the next stop poll.
    void plainRun() {
        const size_t start = pos_ - 1;
        const size_t limit = std::min(rtf_.size(), std::max(nextPoll_, pos_));
        while (pos_ < limit && startsPlainRun(rtf_[pos_])) ++pos_;
        out_.append(rtf_.substr(start, pos_ - start));
    }

    void escape() {
        if (atEnd()) return;
        const char d = rtf_[pos_++];
        if (d == '*' || isLetterByte(static_cast<unsigned char>(d)))
            controlWord();
        else if (d == '\'')
            hexByte();
        else if (d == '\\' || d == '{' || d == '}')
            out_.append(d);
        // Other control symbols (\~, \-, \_ ...) carry no text here.
    }

    // The word runs on over letters, digits and "-", so it holds its
    // parameter: "fs24", "li-360". One blank after it belongs to the word.
    void controlWord() {
        const size_t start = pos_ - 1;
        while (!atEnd() && (isAlnum(rtf_[pos_]) || rtf_[pos_] == '-')) ++pos_;
        const std::string_view word = rtf_.substr(start, pos_ - start);
        if (!atEnd() && rtf_[pos_] == ' ') ++pos_;
        if (word == "par" || word == "line" || word == "page")
            out_.append("\r\n");
        else if (word == "tab")
            out_.append('\t');
        else if (skipsGroup(word))
            skipRestOfGroup();
    }

    // Two hexadecimal digits name one byte; anything else names none.
    void hexByte() {
        const size_t have = std::min<size_t>(2, rtf_.size() - pos_);
        const std::string_view digits = rtf_.substr(pos_, have);
        pos_ += have;
        if (have < 2) return;
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
                return;
        }
    }

    std::string_view rtf_;
    LStr& out_;
    size_t pos_ = 0;
    size_t nextPoll_ = 0;
    bool stopped_ = false;
};

}  // namespace

bool rtfToText(std::string_view rtf, LStr& out) {
    return RtfScanner(rtf, out).run();
}
