// The body decoder: turns the 16-bit codes of a dictionary body into
// Shift-JIS text. JIS X 0208 characters become their Shift-JIS codes,
// external characters go through the settings' table, and control codes
// give markup as the settings' tag level asks. Each entry (code 0x1F41) is
// one record: its text, trimmed and passed through the replacement rules,
// is written before the key separator that starts the next entry.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "epwing/book_bytes.h"
#include "epwing/book_keys.h"

struct EpwSettings;

// Receives decoded text; returns false to end the decoding (a failed write).
using BookOutput = std::function<bool(std::string_view)>;

struct DecodeRange {
    int64_t start = 0;
    int64_t limit = 0;           // decoding stops at a code that ends here or beyond
    bool stopAtLineEnd = false;  // a line-end code ends the decoding (headings)
    bool showProgress = false;   // percentage in status part 3
    const std::vector<BookKey>* keys = nullptr;  // sorted; their headings start entries
};

enum class DecodeEnd {
    kLimit,    // reached the limit, a line end or MAXLEN
    kStopped,  // the stop flag or the output ended it
    kDamaged,  // the book ended inside a code or its parameters
};

class BodyDecoder {
public:
    // settings may be null: no markup level, no external characters, no
    // limit and no separators (the copyright text).
    BodyDecoder(BookBytes& book, const EpwSettings* settings);

    DecodeEnd decode(const DecodeRange& range, const BookOutput& out);
    ~BodyDecoder();
    BodyDecoder(const BodyDecoder&) = delete;
    BodyDecoder& operator=(const BodyDecoder&) = delete;

    // The heading at pos: one line, trimmed, read through a window of its
    // own.
    LStr heading(int64_t pos);

private:
    friend class DecodeRun;
    LStr headingHere(int64_t pos);
    BookBytes& book_;
    const EpwSettings* settings_;
    std::unique_ptr<BookBytes> headingBook_;  // made on the first heading
    std::unique_ptr<BodyDecoder> headingDecoder_;
};

// Removes bytes up to 0x20 and full-width blanks from the end, then from
// the start.
void trimEntryText(LStr& text);

// The Shift-JIS code of a JIS X 0208 code.
int jisToSjis(int jis);
