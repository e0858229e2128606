// Chunked conversion between multibyte text and UTF-16. A chunk that fails is
// cut to a quarter and retried, which isolates a single bad character without
// converting everything twice.
#include "text/encoding.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <limits>
#include <mutex>

#include "platform/iconv_converter.h"
#include "support/message_service.h"
#include "text/sjis.h"

namespace {

constexpr int32_t kMbChunk = 2000;    // input bytes per chunk
constexpr int32_t kWideChunk = 1000;  // input units per chunk
constexpr std::u16string_view kPlaceholder = u"<?>";

Charset charsetOf(int codePage) {
    if (codePage == kCodePageUtf8) return Charset::kUtf8;
    if (codePage == kCodePageEucJp) return Charset::kEucJp;
    return Charset::kCp932;
}

bool isUtf8Continuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}
bool isHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Units that a multibyte charset takes only by a best-fit substitute (in
// CP932 the yen sign as 0x5C, the wave dash as the full-width tilde, ...; in
// EUC-JP the yen sign as 0x5C). Those must be escaped, so a unit counts as
// convertible only when it converts back to itself. Each unit is tried the
// first time it is asked about: trying all of them costs a start-up of
// milliseconds that a short run never earns back.
class InexactUnits {
public:
    explicit InexactUnits(Charset charset)
        : to_(Charset::kUtf16Le, charset), back_(charset, Charset::kUtf16Le) {}

    bool anyIn(std::u16string_view units) const {
        for (char16_t u : units)
            if (inexact(u)) return true;
        return false;
    }

private:
    enum State : uint8_t { kUntried, kExact, kInexact };

    bool inexact(char16_t u) const {
        uint8_t state = states_[u].load(std::memory_order_relaxed);
        if (state == kUntried) state = tryUnit(u);
        return state == kInexact;
    }

    uint8_t tryUnit(char16_t unit) const {
        std::lock_guard lock(lock_);
        uint8_t state = kExact;
        char bytes[8];
        const bool surrogate = unit >= 0xD800 && unit <= 0xDFFF;
        const ConvertResult r =
            unit == 0 || surrogate ? ConvertResult{} : to_.convert(&unit, 2, bytes, sizeof bytes);
        if (r.complete) {
            char16_t again[4] = {};
            const ConvertResult r2 = back_.convert(bytes, r.outUsed, again, sizeof again);
            if (!r2.complete || r2.outUsed != 2 || again[0] != unit) state = kInexact;
        }
        states_[unit].store(state, std::memory_order_relaxed);
        return state;
    }

    mutable std::mutex lock_;  // the converters keep state
    mutable IconvConverter to_;
    mutable IconvConverter back_;
    mutable std::array<std::atomic<uint8_t>, 0x10000> states_{};
};

const InexactUnits& inexactUnits(Charset charset) {
    if (charset == Charset::kEucJp) {
        static const InexactUnits eucJp(Charset::kEucJp);
        return eucJp;
    }
    static const InexactUnits cp932(Charset::kCp932);
    return cp932;
}

// ---- multibyte to UTF-16 ----

class MbDecoder {
public:
    MbDecoder(std::string_view text, LWStr& out, int codePage, std::string_view prefix,
              std::string_view suffix)
        : text_(text),
          out_(out),
          charset_(charsetOf(codePage)),
          converter_(threadConverter(charset_, Charset::kUtf16Le)),
          prefix_(prefix),
          suffix_(suffix) {}

    void run() {
        while (pos_ < text_.size()) {
            size_t length = chunkLength(pos_, kMbChunk);
            size_t escape = findPrefix(pos_, length);
            if (escape == pos_) {
                decodeEscape();
                continue;
            }
            convertChunk(std::min(length, escape - pos_));
        }
    }

private:
    // A chunk of up to `want` bytes at `start` that never ends inside a
    // character.
    size_t chunkLength(size_t start, size_t want) const {
        size_t end = std::min(text_.size(), start + want);
        if (end < text_.size()) end = characterEnd(start, end);
        return end - start;
    }

    // `end`, moved past the rest of a character that it would split.
    size_t characterEnd(size_t start, size_t end) const {
        switch (charset_) {
            case Charset::kUtf8:
                return utf8CharacterEnd(start, end);
            case Charset::kEucJp: {
                size_t i = start;
                while (i < end) {
                    unsigned char b = byteAt(text_, i);
                    i += b == 0x8F ? 3 : b >= 0x80 ? 2 : 1;
                }
                return std::min(i, text_.size());
            }
            default:
                return isLeadAt(text_.substr(start), end - 1 - start) ? end + 1 : end;
        }
    }

    // The sequence holding the last byte, found by its lead byte, is taken
    // whole as far as its continuation bytes go.
    size_t utf8CharacterEnd(size_t start, size_t end) const {
        size_t lead = end - 1;
        for (int back = 0; back < 3 && lead > start && isUtf8Continuation(byteAt(text_, lead));
             ++back)
            --lead;
        unsigned char b = byteAt(text_, lead);
        size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        while (end < lead + need && end < text_.size() && isUtf8Continuation(byteAt(text_, end)))
            ++end;
        return end;
    }

    // The first escape prefix starting in [start, start + length), or npos.
    // Shift-JIS text is searched at character starts only: "{" (0x7B) is also
    // a trail byte. (In UTF-8 and EUC-JP no byte of a character is ASCII.)
    size_t findPrefix(size_t start, size_t length) const {
        if (prefix_.empty()) return std::string_view::npos;
        size_t end = start + length;
        for (size_t i = start; i < end;
             i += charset_ == Charset::kCp932 ? charLength(text_, i) : 1) {
            if (text_[i] == prefix_[0] && text_.substr(i, prefix_.size()) == prefix_) return i;
        }
        return std::string_view::npos;
    }

    void decodeEscape() {
        size_t start = pos_;
        pos_ += prefix_.size();
        uint64_t value = 0;
        for (; pos_ < text_.size(); ++pos_) {
            int digit = hexDigitValue(byteAt(text_, pos_));
            if (digit < 0) break;
            value = std::min<uint64_t>(value * 16 + digit, std::numeric_limits<uint32_t>::max());
        }
        out_.append(char16_t(value & 0xFFFF));
        if (text_.substr(pos_, suffix_.size()) == suffix_) {
            pos_ += suffix_.size();
            return;
        }
        std::string_view shown = text_.substr(start, 20);
        report(kMsgConvert9, "illegal escape sequence: %.*s", int(shown.size()), shown.data());
        out_.append(kPlaceholder);
    }

    void convertChunk(size_t length) {
        for (;;) {
            if (tryConvert(length)) {
                pos_ += length;
                return;
            }
            // Cut down to a single character; a chunk of two single-byte
            // characters is split too, so a good byte never goes with a bad one.
            size_t cut = chunkLength(pos_, std::max<size_t>(1, length / 4));
            if (cut >= length) break;
            length = cut;
        }
        skipUndecodable(length);
    }

    bool tryConvert(size_t length) {
        ConvertResult r = converter_.convert(text_.data() + pos_, length, buffer_.data(),
                                             buffer_.size() * sizeof(char16_t));
        if (!r.complete || r.outUsed == 0) return false;
        out_.append(buffer_.data(), int32_t(r.outUsed / sizeof(char16_t)));
        return true;
    }

    // The smallest chunk still fails: it stands as "<?>". A lead byte whose
    // next byte cannot be a trail byte is replaced alone, so a line end after
    // a stray lead byte survives.
    void skipUndecodable(size_t length) {
        unsigned char first = byteAt(text_, pos_);
        report(kMsgConvert7, "Cannot convert ASCII to Unicode: %02Xh", first);
        out_.append(kPlaceholder);
        if (charset_ == Charset::kCp932 && length == 2 && !isTrailByte(byteAt(text_, pos_ + 1)))
            length = 1;
        pos_ += length;
    }

    std::string_view text_;
    LWStr& out_;
    Charset charset_;
    IconvConverter& converter_;
    std::string_view prefix_;
    std::string_view suffix_;
    size_t pos_ = 0;
    std::array<char16_t, 2 * kMbChunk> buffer_;
};

// ---- UTF-16 to multibyte ----

class WideEncoder {
public:
    WideEncoder(std::u16string_view units, LStr& out, int codePage, std::string_view prefix,
                std::string_view suffix)
        : units_(units),
          out_(out),
          exactOnly_(codePage != kCodePageUtf8),
          charset_(charsetOf(codePage)),
          converter_(threadConverter(Charset::kUtf16Le, charset_)),
          prefix_(prefix),
          suffix_(suffix) {}

    void run() {
        while (pos_ < units_.size()) {
            size_t length = chunkLength(kWideChunk);
            while (!tryConvert(length)) {
                if (length == 1) {
                    writeEscape(units_[pos_]);
                    break;
                }
                length = chunkLength(std::max<size_t>(1, length / 4));
            }
            pos_ += length;
        }
    }

private:
    // Up to `want` units; a longer chunk is not ended between the two halves
    // of a surrogate pair.
    size_t chunkLength(size_t want) const {
        size_t end = std::min(units_.size(), pos_ + want);
        if (end - pos_ >= 2 && end < units_.size() && isHighSurrogate(units_[end - 1]) &&
            isLowSurrogate(units_[end]))
            ++end;
        return end - pos_;
    }

    bool tryConvert(size_t length) {
        std::u16string_view chunk = units_.substr(pos_, length);
        if (exactOnly_ && inexactUnits(charset_).anyIn(chunk)) return false;
        ConvertResult r = converter_.convert(chunk.data(), chunk.size() * sizeof(char16_t),
                                             buffer_.data(), buffer_.size());
        if (!r.complete || r.outUsed == 0) return false;
        out_.append(buffer_.data(), int32_t(r.outUsed));
        return true;
    }

    void writeEscape(char16_t unit) {
        out_.append(prefix_);
        out_.append(formatText("%04X", unsigned(unit)).view());
        out_.append(suffix_);
    }

    std::u16string_view units_;
    LStr& out_;
    bool exactOnly_;
    Charset charset_;
    IconvConverter& converter_;
    std::string_view prefix_;
    std::string_view suffix_;
    size_t pos_ = 0;
    // Room for the longest result of a chunk: 3 bytes a unit in UTF-8.
    std::array<char, 3 * (kWideChunk + 1) + 8> buffer_;
};

}  // namespace

void mbToWide(const char* text, int32_t length, LWStr& out, int codePage, std::string_view prefix,
              std::string_view suffix) {
    if (!text) return;
    std::string_view all = length < 0 ? std::string_view(text) : std::string_view(text, length);
    if (all.empty()) return;
    MbDecoder(all, out, codePage, prefix, suffix).run();
}

void mbToWide(std::string_view text, LWStr& out, int codePage) {
    mbToWide(text.data(), int32_t(text.size()), out, codePage, kUnicodeEscapePrefix,
             kUnicodeEscapeSuffix);
}

void mbToWide(const char* text, int32_t length, LWStr& out) {
    mbToWide(text, length, out, kCodePageAnsi, kUnicodeEscapePrefix, kUnicodeEscapeSuffix);
}

void wideToMb(const char16_t* units, int32_t length, LStr& out, int codePage,
              std::string_view prefix, std::string_view suffix) {
    if (!units) return;
    std::u16string_view all =
        length < 0 ? std::u16string_view(units) : std::u16string_view(units, length);
    if (all.empty()) return;
    WideEncoder(all, out, codePage, prefix, suffix).run();
}

void wideToMb(std::u16string_view units, LStr& out, int codePage) {
    wideToMb(units.data(), int32_t(units.size()), out, codePage, kUnicodeEscapePrefix,
             kUnicodeEscapeSuffix);
}

void wideToMb(const char16_t* units, int32_t length, LStr& out) {
    wideToMb(units, length, out, kCodePageAnsi, kUnicodeEscapePrefix, kUnicodeEscapeSuffix);
}
