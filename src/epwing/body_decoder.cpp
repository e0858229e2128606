#include "epwing/body_decoder.h"

#include <algorithm>

#include "epwing/epw_settings.h"
#include "pattern/parser.h"
#include "pattern/replace.h"
#include "support/message_service.h"
#include "support/run_context.h"
#include "support/stop_flag.h"
#include "text/char_fold.h"
#include "text/sjis.h"

namespace {

constexpr int64_t kHeadingSpan = 100000;
constexpr int32_t kProgressEvery = 256;
// A key is taken when the decoder passes a control code at most this far
// behind its text position; keys further behind are passed over.
constexpr int64_t kKeyReach = 10;

enum ModeBit : uint8_t { kNarrow = 1, kSubscript = 2, kSuperscript = 4 };

// Markup of control codes that write by tag level: nothing at level 0, the
// first text at level 1, the second at level 2 and above, where "%s" is the
// parameter bytes in hexadecimal. Parameter bytes are skipped at any level.
struct TagRow {
    uint8_t code;
    const char* plain;
    const char* detailed;
    int32_t parameters;
};

constexpr TagRow kTagRows[] = {
    {0x02, "<\x95\\\x8E\xA6\x8AJ\x8En>\r\n", "<\x95\\\x8E\xA6\x8AJ\x8En>\r\n", 0},
    {0x03, "<\x95\\\x8E\xA6\x8FI\x97\xB9>\r\n", "<\x95\\\x8E\xA6\x8FI\x97\xB9>\r\n", 0},
    {0x10, "", "", 0},
    {0x11, "", "", 0},
    {0x12, "", "<em>", 0},
    {0x13, "", "</em>", 0},
    {0x61, "", "</KEY>", 0},
    {0x42,
     "<\x8A\xD6\x98"
     "A>",
     "<\x8A\xD6\x98"
     "A>",
     0},
    {0x62, "",
     "</\x8A\xD6\x98"
     "A %s>",
     6},
    {0x44, "<\x90}>", "<\x90} %s>", 10},
    {0x64, "", "</\x90} %s>", 6},
    {0x48,
     "<\x89\xB9"
     "2>",
     "<\x89\xB9"
     "2 %s>",
     10},
    {0x68, "",
     "</\x89\xB9"
     "2>",
     0},
    {0x4A, "<\x89\xB9>", "<\x89\xB9 %s>", 16},
    {0x6A, "", "</\x89\xB9>", 0},
    {0x4D, "<\x83J\x83\x89\x81[>", "<\x83J\x83\x89\x81[ %s>", 18},
    {0x6D, "", "</\x83J\x83\x89\x81[>", 0},
    {0xE1, "", "</emph>", 0},
};

// Codes that write the same at every level, with the mode they switch.
struct FixedRow {
    uint8_t code;
    const char* text;
    uint8_t modeOn;
    uint8_t modeOff;
};

constexpr FixedRow kFixedRows[] = {
    {0x04, "", kNarrow, 0},           {0x05, "", 0, kNarrow},
    {0x06, "<sub>", kSubscript, 0},   {0x07, "</sub>", 0, kSubscript},
    {0x0E, "<sup>", kSuperscript, 0}, {0x0F, "</sup>", 0, kSuperscript},
    {0x0B, "<table>", 0, 0},          {0x0C, "</table>", 0, 0},
};

constexpr char kExtension[] = "<\x8Ag\x92\xA3\x97\xCC\x88\xE6%X>";
constexpr char kDescriptor[] = "<\x8BL\x8Fq\x8Eq%X>";
constexpr char kUnknown[] = "<\x95s\x96\xBE%X>";
constexpr char kGaijiOpen[] = "<\x8AO";
// "EPWING: the book is damaged; its text ends early: %s"
constexpr char kDamagedJa[] =
    "EPWING: \x8E\xAB\x8F\x91\x82\xAA\x89\xF3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81"
    "B\x96{\x95\xB6\x82\xAA\x93r\x92\x86\x82\xC5\x8FI\x82\xED\x82\xE8\x82\xDC\x82\xB7: %s";
constexpr char kDamaged[] = "EPWING: damaged book, text ends early: %s";

bool isExtensionCode(uint8_t low) {
    return low == 0x08 || low == 0x0D || (low >= 0x14 && low <= 0x1F) || low >= 0xE2;
}

bool isJis(int code) {
    const int high = code >> 8, low = code & 0xFF;
    if (low < 0x21 || low > 0x7E) return false;
    return (high >= 0x21 && high <= 0x73) || (high == 0x74 && low <= 0x26);
}

bool isGaiji(int code) {
    return code >= 0xA121 && code <= 0xFE7E;
}

void appendHex(LStr& out, const unsigned char* bytes, int32_t n) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int32_t i = 0; i < n; ++i) {
        out.append(kDigits[bytes[i] >> 4]);
        out.append(kDigits[bytes[i] & 15]);
    }
}

bool isBlankAt(std::string_view text, size_t pos, int length) {
    if (length == 1) return byteAt(text, pos) <= 0x20;
    return byteAt(text, pos) == 0x81 && byteAt(text, pos + 1) == 0x40;
}

}  // namespace

int jisToSjis(int jis) {
    const int high = jis >> 8, low = jis & 0xFF;
    const int lead = ((high + 1) >> 1) + (high <= 0x5E ? 0x70 : 0xB0);
    const int trail = (high & 1) ? low + (low >= 0x60 ? 0x20 : 0x1F) : low + 0x7E;
    return lead << 8 | trail;
}

void trimEntryText(LStr& text) {
    const std::string_view v = text.view();
    size_t end = 0, start = v.size(), pos = 0;
    while (pos < v.size()) {
        const int length = charLength(v, pos);
        const size_t next = std::min(v.size(), pos + size_t(length));
        if (!isBlankAt(v, pos, int(next - pos))) {
            start = std::min(start, pos);
            end = next;
        }
        pos = next;
    }
    if (start >= end) {
        text.truncate(0);
        return;
    }
    text.truncate(int32_t(end));
    text.erase(0, int32_t(start));
}

// One decoding from a start position: the state of the entry being built.
class DecodeRun {
public:
    DecodeRun(BodyDecoder& decoder, const DecodeRange& range, const BookOutput& out)
        : d_(decoder), s_(decoder.settings_), range_(range), out_(out), pos_(range.start) {}
    DecodeEnd run();

private:
    bool readCode(int& code);
    bool takeParameters(int32_t n, unsigned char* bytes);
    bool limitReached();
    void takeKeys();
    bool control(int code);
    bool tagRow(const TagRow& row);
    bool entryStart();
    bool flushEntry();
    void appendJis(int code);
    void appendGaiji(int code);
    int32_t tagLevel() const { return s_ ? s_->tagLevel : 0; }

    BodyDecoder& d_;
    const EpwSettings* s_;
    const DecodeRange& range_;
    const BookOutput& out_;
    int64_t pos_;
    LStr entry_;
    LStr currentKey_;
    std::vector<LStr> pending_;
    size_t nextKey_ = 0;
    uint8_t modes_ = 0;
    int32_t controlCount_ = 0;
    bool damaged_ = false;
    bool ended_ = false;      // a line end of a heading, or the output refused
    bool wroteText_ = false;  // text went out since the last separator
};

bool DecodeRun::readCode(int& code) {
    uint32_t value = 0;
    if (!d_.book_.readNumber(pos_, 2, value)) {
        damaged_ = pos_ < range_.limit;
        return false;
    }
    pos_ += 2;
    code = int(value);
    return true;
}

bool DecodeRun::takeParameters(int32_t n, unsigned char* bytes) {
    if (!d_.book_.read(pos_, bytes, n)) {
        damaged_ = true;
        return false;
    }
    pos_ += n;
    return true;
}

bool DecodeRun::limitReached() {
    if (pos_ >= range_.limit) return true;
    if (range_.showProgress && ++controlCount_ % kProgressEvery == 0) {
        const int64_t span = range_.limit - range_.start;
        if (RunContext* context = currentRunContext())
            context->setStatus(
                3, formatText("%d%%", int((pos_ - range_.start + 100) / (span / 100 + 1))).view());
    }
    return s_ && s_->maxLen != 0 && pos_ > range_.start + s_->maxLen;
}

void DecodeRun::takeKeys() {
    const std::vector<BookKey>& keys = *range_.keys;
    while (nextKey_ < keys.size() && keys[nextKey_].text <= pos_ - kKeyReach) ++nextKey_;
    for (; nextKey_ < keys.size() && keys[nextKey_].text <= pos_; ++nextKey_) {
        LStr text = d_.heading(keys[nextKey_].heading);
        if (std::find(pending_.begin(), pending_.end(), text) == pending_.end())
            pending_.push_back(std::move(text));
    }
}

void DecodeRun::appendJis(int code) {
    int sjis = jisToSjis(code);
    if (modes_) sjis = fullToHalf(sjis);
    appendChar(entry_, sjis);
}

void DecodeRun::appendGaiji(int code) {
    const LStr digits = formatText("%04X", code);
    if (s_) {
        auto found = s_->gaiji.find(std::string(digits.view()));
        if (found != s_->gaiji.end()) {
            entry_.append(found->second.view());
            return;
        }
    }
    entry_.append(kGaijiOpen);
    entry_.append(digits.view());
    entry_.append('>');
}

bool DecodeRun::flushEntry() {
    if (entry_.empty()) return true;
    trimEntryText(entry_);
    if (s_) {
        for (const EpwReplaceRule& rule : s_->rules) {
            LStr replacement = rule.replacement;
            replaceAll(replacement, "(*!\\\\)\\${KEY}", currentKey_.view());
            replaceAll(entry_, rule.pattern.get(), replacement.view());
        }
    }
    if (!entry_.empty()) wroteText_ = true;
    const bool written = entry_.empty() || out_(entry_.view());
    entry_.truncate(0);
    return written;
}

// The previous entry goes out before the separator, so each entry is a
// record of its own; a separator right after another is left out.
bool DecodeRun::entryStart() {
    if (!flushEntry()) return false;
    if (s_ && !range_.stopAtLineEnd && wroteText_) {
        if (!out_(s_->keySeparator.view())) return false;
        wroteText_ = false;
    }
    if (!pending_.empty()) {
        currentKey_ = pending_.front();
        for (const LStr& text : pending_) {
            entry_.append(s_ ? s_->ixLeft.view() : "\x81w");
            entry_.append(text.view());
            entry_.append(s_ ? s_->ixRight.view() : "\x81x");
        }
        pending_.clear();
    }
    unsigned char bytes[2];
    if (!takeParameters(2, bytes)) return false;
    if (tagLevel() == 1) entry_.append("<KEY>");
    if (tagLevel() >= 2) {
        entry_.append("<KEY ");
        appendHex(entry_, bytes, 2);
        entry_.append('>');
    }
    return true;
}

bool DecodeRun::tagRow(const TagRow& row) {
    unsigned char bytes[18];
    if (!takeParameters(row.parameters, bytes)) return false;
    if (tagLevel() == 1) entry_.append(row.plain);
    if (tagLevel() < 2) return true;
    std::string_view text = row.detailed;
    const size_t hole = text.find("%s");
    if (hole == std::string_view::npos) {
        entry_.append(text);
        return true;
    }
    entry_.append(text.substr(0, hole));
    appendHex(entry_, bytes, row.parameters);
    entry_.append(text.substr(hole + 2));
    return true;
}

// False ends the decoding: a heading's line end, a damaged code or a
// refused write.
bool DecodeRun::control(int code) {
    const uint8_t low = uint8_t(code & 0xFF);
    for (const FixedRow& row : kFixedRows) {
        if (row.code != low) continue;
        entry_.append(row.text);
        modes_ = uint8_t((modes_ | row.modeOn) & ~row.modeOff);
        return true;
    }
    for (const TagRow& row : kTagRows)
        if (row.code == low) return tagRow(row);
    unsigned char bytes[2];
    switch (low) {
        case 0x41:
            return entryStart();
        case 0x09: {
            if (!takeParameters(2, bytes)) return false;
            for (int n = bytes[0] << 8 | bytes[1]; n > 0; --n) entry_.append(' ');
            return true;
        }
        case 0x0A:
            entry_.append("\r\n");
            if (range_.stopAtLineEnd) ended_ = true;
            return !ended_;
        case 0xE0:
            if (!takeParameters(2, bytes)) return false;
            if (tagLevel() >= 2) entry_.append(formatText("<emph %X>", bytes[0] << 8 | bytes[1]));
            return true;
        default:
            entry_.append(formatText(isExtensionCode(low) ? kExtension : kDescriptor, code));
            return true;
    }
}

DecodeEnd DecodeRun::run() {
    if (range_.keys) {
        const std::vector<BookKey>& keys = *range_.keys;
        nextKey_ =
            size_t(std::lower_bound(keys.begin(), keys.end(), BookKey{range_.start, INT64_MIN}) -
                   keys.begin());
    }
    bool stopped = false;
    int code = 0;
    while (!(stopped = stopRequested()) && readCode(code)) {
        if (isJis(code)) {
            appendJis(code);
            continue;
        }
        if (limitReached()) break;
        if (range_.keys) takeKeys();
        if (code == 0) continue;
        if ((code >> 8) == 0x1F) {
            if (!control(code)) break;
        } else if (isGaiji(code)) {
            appendGaiji(code);
        } else {
            entry_.append(formatText(kUnknown, code));
        }
    }
    const bool flushed = flushEntry();
    if (damaged_) {
        report(kMsgWarning, jaEn(kDamagedJa, kDamaged), d_.book_.path().c_str());
        return DecodeEnd::kDamaged;
    }
    if (stopped || !flushed || (!ended_ && stopRequested())) return DecodeEnd::kStopped;
    return DecodeEnd::kLimit;
}

BodyDecoder::BodyDecoder(BookBytes& book, const EpwSettings* settings)
    : book_(book), settings_(settings) {}

DecodeEnd BodyDecoder::decode(const DecodeRange& range, const BookOutput& out) {
    DecodeRun run(*this, range, out);
    return run.run();
}

BodyDecoder::~BodyDecoder() = default;

LStr BodyDecoder::heading(int64_t pos) {
    if (!headingDecoder_) {
        headingBook_ = std::make_unique<BookBytes>(book_.second());
        headingDecoder_ = std::make_unique<BodyDecoder>(*headingBook_, settings_);
    }
    return headingDecoder_->headingHere(pos);
}

LStr BodyDecoder::headingHere(int64_t pos) {
    LStr text;
    DecodeRange range;
    range.start = pos;
    range.limit = pos + kHeadingSpan;
    range.stopAtLineEnd = true;
    BookOutput out = [&text](std::string_view bytes) {
        text.append(bytes);
        return true;
    };
    decode(range, out);
    trimEntryText(text);
    return text;
}
