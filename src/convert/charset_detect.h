// Guessing the character set of a text file that carries no byte-order mark.
// The program's own text is Shift-JIS, so the guess only ever moves away from
// it when the bytes leave little doubt: a wrong guess would garble a file that
// reads fine as it is.
#pragma once
#include <string_view>

enum class DetectedCharset {
    kNone,   // read the bytes as they are (Shift-JIS, ASCII, or unknown)
    kUtf8,   // valid UTF-8 with at least one multibyte character
    kEucJp,  // valid EUC-JP (eucJP-ms rows included) that Shift-JIS does not explain
};

// Classifies a whole text in one pass. EUC-JP text whose bytes also pair up
// as valid Shift-JIS (common: both use high bytes in pairs) counts as EUC-JP
// only when its reading is plainly Japanese prose, that is, when hiragana
// make up a good share of its two-byte characters.
DetectedCharset detectCharset(std::string_view text);

// For the head of a longer text, which may end inside a character: false
// when the head already rules out both UTF-8 and EUC-JP, so the whole text
// need not be read to classify it.
bool mayBeDetected(std::string_view head);
