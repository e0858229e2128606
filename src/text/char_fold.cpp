// Case and width folding of Shift-JIS characters. The folding tables are
// direct-index arrays that the compiler builds from the paired lists below,
// so a lookup is one load and no thread can ever see a half-built table.
#include "text/char_fold.h"

#include <array>

#include "base/ctype_table.h"
#include "text/sjis.h"

namespace {

// The i-th byte of the half-width list pairs with the i-th double-byte
// character of the full-width list.
constexpr char kHalfList[] =
    "\x30\x31\x32\x33\x34\x35\x36\x37\x38\x39\x41\x42\x43\x44\x45\x46"  // 0123456789ABCDEF
    "\x47\x48\x49\x4A\x4B\x4C\x4D\x4E\x4F\x50\x51\x52\x53\x54\x55\x56"  // GHIJKLMNOPQRSTUV
    "\x57\x58\x59\x5A\x61\x62\x63\x64\x65\x66\x67\x68\x69\x6A\x6B\x6C"  // WXYZabcdefghijkl
    "\x6D\x6E\x6F\x70\x71\x72\x73\x74\x75\x76\x77\x78\x79\x7A\xB1\xB2"  // mnopqrstuvwxyzｱｲ
    "\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\xBB\xBC\xBD\xBE\xBF\xC0\xC1\xC2"  // ｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂ
    "\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2"  // ﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒ
    "\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xDB\xDC\xA6\xDD\xA7\xA8\xA9\xAA"  // ﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝｧｨｩｪ
    "\xAB\xAC\xAD\xAE\xAF\x20\x23\x24\x25\x26\x7C\x5E\x7E\x2B\x2D\x2A"  // ｫｬｭｮｯ #$%&|^~+-*
    "\x2F\x3D\x3B\x3A\x5C\x40\x5F\x60\x27\x22\x28\x29\x5B\x5D\x7B\x7D"  // /=;:\@_`'"()[]{}
    "\x3C\x3E\xA2\xA3\x21\x3F\x2C\x2E\xA4\xA1\xA5\xB0\xDE\xDF";  // <>｢｣!?,.､｡･ｰﾞﾟ
constexpr char kFullList[] =
    "\x82\x4F\x82\x50\x82\x51\x82\x52\x82\x53\x82\x54\x82\x55\x82\x56"  // ０１２３４５６７
    "\x82\x57\x82\x58\x82\x60\x82\x61\x82\x62\x82\x63\x82\x64\x82\x65"  // ８９ＡＢＣＤＥＦ
    "\x82\x66\x82\x67\x82\x68\x82\x69\x82\x6A\x82\x6B\x82\x6C\x82\x6D"  // ＧＨＩＪＫＬＭＮ
    "\x82\x6E\x82\x6F\x82\x70\x82\x71\x82\x72\x82\x73\x82\x74\x82\x75"  // ＯＰＱＲＳＴＵＶ
    "\x82\x76\x82\x77\x82\x78\x82\x79\x82\x81\x82\x82\x82\x83\x82\x84"  // ＷＸＹＺａｂｃｄ
    "\x82\x85\x82\x86\x82\x87\x82\x88\x82\x89\x82\x8A\x82\x8B\x82\x8C"  // ｅｆｇｈｉｊｋｌ
    "\x82\x8D\x82\x8E\x82\x8F\x82\x90\x82\x91\x82\x92\x82\x93\x82\x94"  // ｍｎｏｐｑｒｓｔ
    "\x82\x95\x82\x96\x82\x97\x82\x98\x82\x99\x82\x9A\x83\x41\x83\x43"  // ｕｖｗｘｙｚアイ
    "\x83\x45\x83\x47\x83\x49\x83\x4A\x83\x4C\x83\x4E\x83\x50\x83\x52"  // ウエオカキクケコ
    "\x83\x54\x83\x56\x83\x58\x83\x5A\x83\x5C\x83\x5E\x83\x60\x83\x63"  // サシスセソタチツ
    "\x83\x65\x83\x67\x83\x69\x83\x6A\x83\x6B\x83\x6C\x83\x6D\x83\x6E"  // テトナニヌネノハ
    "\x83\x71\x83\x74\x83\x77\x83\x7A\x83\x7D\x83\x7E\x83\x80\x83\x81"  // ヒフヘホマミムメ
    "\x83\x82\x83\x84\x83\x86\x83\x88\x83\x89\x83\x8A\x83\x8B\x83\x8C"  // モヤユヨラリルレ
    "\x83\x8D\x83\x8F\x83\x92\x83\x93\x83\x40\x83\x42\x83\x44\x83\x46"  // ロワヲンァィゥェ
    "\x83\x48\x83\x83\x83\x85\x83\x87\x83\x62\x81\x40\x81\x94\x81\x90"  // ォャュョッ　＃＄
    "\x81\x93\x81\x95\x81\x62\x81\x4F\x81\x60\x81\x7B\x81\x7C\x81\x96"  // ％＆｜＾～＋－＊
    "\x81\x5E\x81\x81\x81\x47\x81\x46\x81\x8F\x81\x97\x81\x51\x81\x65"  // ／＝；：￥＠＿‘
    "\x81\x66\x81\x68\x81\x69\x81\x6A\x81\x6D\x81\x6E\x81\x6F\x81\x70"  // ’”（）［］｛｝
    "\x81\x83\x81\x84\x81\x75\x81\x76\x81\x49\x81\x48\x81\x43\x81\x44"  // ＜＞「」！？，．
    "\x81\x41\x81\x42\x81\x45\x81\x5B\x81\x4A\x81\x4B";                 // 、。・ー゛゜

// Half-width kana that take a voiced or semi-voiced mark, and the full-width
// kana they merge into.
constexpr char kVoicedHalf[] =
    "\xB6\xB7\xB8\xB9\xBA\xBB\xBC\xBD\xBE\xBF"   // ｶｷｸｹｺｻｼｽｾｿ
    "\xC0\xC1\xC2\xC3\xC4\xCA\xCB\xCC\xCD\xCE";  // ﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎ
constexpr char kVoicedFull[] =
    "\x83\x4B\x83\x4D\x83\x4F\x83\x51\x83\x53"                                  // ガギグゲゴ
    "\x83\x55\x83\x57\x83\x59\x83\x5B\x83\x5D"                                  // ザジズゼゾ
    "\x83\x5F\x83\x61\x83\x64\x83\x66\x83\x68"                                  // ダヂヅデド
    "\x83\x6F\x83\x72\x83\x75\x83\x78\x83\x7B";                                 // バビブベボ
constexpr char kSemiVoicedHalf[] = "\xCA\xCB\xCC\xCD\xCE";                      // ﾊﾋﾌﾍﾎ
constexpr char kSemiVoicedFull[] = "\x83\x70\x83\x73\x83\x76\x83\x79\x83\x7C";  // パピプペポ

constexpr int kListSize = 158;
static_assert(sizeof(kHalfList) - 1 == kListSize);
static_assert(sizeof(kFullList) - 1 == 2 * kListSize);
static_assert(sizeof(kVoicedFull) - 1 == 2 * (sizeof(kVoicedHalf) - 1));
static_assert(sizeof(kSemiVoicedFull) - 1 == 2 * (sizeof(kSemiVoicedHalf) - 1));

// Every full-width character of the lists has a lead byte 0x81-0x83, so the
// reverse table covers just those rows.
constexpr int kFullFirst = 0x8100;
constexpr int kFullLast = 0x83FF;

using ByteToChar = std::array<uint16_t, 256>;  // 0: no entry

constexpr int pairCode(const char* list, int i) {
    return (static_cast<unsigned char>(list[2 * i]) << 8) |
           static_cast<unsigned char>(list[2 * i + 1]);
}

constexpr bool fullListFitsRows() {
    for (int i = 0; i < kListSize; ++i)
        if (pairCode(kFullList, i) < kFullFirst || pairCode(kFullList, i) > kFullLast) return false;
    return true;
}
static_assert(fullListFitsRows());

constexpr ByteToChar makeByteToChar(const char* half, const char* full, int count) {
    ByteToChar table{};
    for (int i = 0; i < count; ++i) table[static_cast<unsigned char>(half[i])] = pairCode(full, i);
    return table;
}

constexpr std::array<uint8_t, kFullLast - kFullFirst + 1> makeFullToHalf() {
    std::array<uint8_t, kFullLast - kFullFirst + 1> table{};
    for (int i = 0; i < kListSize; ++i) {
        int code = pairCode(kFullList, i);
        table[code - kFullFirst] = static_cast<unsigned char>(kHalfList[i]);
    }
    return table;
}

constexpr ByteToChar kHalfToFull = makeByteToChar(kHalfList, kFullList, kListSize);
constexpr ByteToChar kVoiced = makeByteToChar(kVoicedHalf, kVoicedFull, sizeof(kVoicedHalf) - 1);
constexpr ByteToChar kSemiVoiced =
    makeByteToChar(kSemiVoicedHalf, kSemiVoicedFull, sizeof(kSemiVoicedHalf) - 1);
constexpr auto kFullToHalf = makeFullToHalf();

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

bool inRange(int code, int first, int last) {
    return code >= first && code <= last;
}

bool isFullKatakana(int code) {
    return inRange(code, 0x8340, 0x8396) || code == 0x815B;
}

// Steps 1 and 2 of width normalisation: characters the options keep as they
// are (or, for the ideographic space, write as two spaces). Returns whether
// the character was written.
bool writeKeptChar(int code, int options, LStr& out) {
    if ((options & 1) && code == 0x8140) {
        out.append("  ");
        return true;
    }
    bool keep = ((options & 2) && code == 0x8160) ||
                ((options & 4) && (code == 0x8183 || code == 0x8184 || code == 0x8195));
    if (keep) appendChar(out, code);
    return keep;
}

}  // namespace

void initFoldingTables() {
    // The tables are constant data; nothing is left to build at run time.
}

int toLowerFull(int code) {
    if (code < 0x100) return code >= 'A' && code <= 'Z' ? code | 0x20 : code;
    if (inRange(code, 0x8260, 0x8279)) return code + 0x21;  // Ａ-Ｚ
    if (inRange(code, 0x839F, 0x83B6)) return code + 0x20;  // Greek
    if (inRange(code, 0x8440, 0x844E)) return code + 0x30;  // Cyrillic; the lower-case
    if (inRange(code, 0x844F, 0x8460)) return code + 0x31;  // run skips trail 0x7F
    return code;
}

int toUpperFull(int code) {
    if (code < 0x100) return code >= 'a' && code <= 'z' ? code - 0x20 : code;
    if (inRange(code, 0x8281, 0x829A)) return code - 0x21;
    if (inRange(code, 0x83BF, 0x83D6)) return code - 0x20;
    if (inRange(code, 0x8470, 0x847E)) return code - 0x30;
    if (inRange(code, 0x8480, 0x8491)) return code - 0x31;
    return code;
}

char charType(int code) {
    if (code >= 0x889E) return 'J';
    if (isFullKatakana(code)) return 'T';
    if (inRange(code, 0x829F, 0x82F1)) return 'H';
    if (inRange(code, 0x824F, 0x829A) || code == 0x8151) return 'A';
    if (inRange(code, 0x839E, 0x83D6)) return 'G';
    if (inRange(code, 0x843F, 0x8491)) return 'R';
    if (code > 0xFF || code < 0) return 0;
    if (isWordByte(static_cast<unsigned char>(code))) return 'a';
    if (isHalfKana(static_cast<unsigned char>(code))) return 'k';
    return 0;
}

int halfToFull(int code, int mark) {
    if (code < 0 || code > 0xFF) return code;
    const ByteToChar& table = mark == kMarkVoiced       ? kVoiced
                              : mark == kMarkSemiVoiced ? kSemiVoiced
                                                        : kHalfToFull;
    int full = table[code];
    return full ? full : code;
}

int fullToHalf(int code) {
    if (!inRange(code, kFullFirst, kFullLast)) return code;
    int half = kFullToHalf[code - kFullFirst];
    return half ? half : code;
}

void lowerString(LStr& text) {
    std::string_view v = text.view();
    for (size_t i = 0; i < v.size();) {
        int n = charLength(v, i);
        int lowered = toLowerFull(charAt(v, i));
        if (n == 2)
            text[int32_t(i + 1)] = char(lowered & 0xFF);  // the lead never changes
        else
            text[int32_t(i)] = char(lowered);
        i += n;
    }
}

void normalizeWidth(LStr& text, int options) {
    std::string_view v = text.view();
    LStr out;
    out.reserve(text.length());
    for (size_t pos = 0; pos < v.size();) {
        int code = nextChar(v, pos);
        if (writeKeptChar(code, options, out)) continue;
        if (code > 0xFF && !isFullKatakana(code)) code = fullToHalf(code);
        if (code <= 0xFF && isHalfKana(static_cast<unsigned char>(code))) {
            unsigned char next = pos < v.size() ? byteAt(v, pos) : 0;
            int mark = next == kVoicedMark       ? kMarkVoiced
                       : next == kSemiVoicedMark ? kMarkSemiVoiced
                                                 : kMarkPlain;
            int merged = mark == kMarkPlain ? code : halfToFull(code, mark);
            if (merged != code) {
                ++pos;  // the mark is part of the merged kana
                code = merged;
            } else {
                code = halfToFull(code);
            }
        }
        appendChar(out, code);
    }
    text = std::move(out);
}
