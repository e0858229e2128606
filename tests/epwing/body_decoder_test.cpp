// The body decoder: control codes at each tag level, character modes,
// external characters, entries as records and their headings from keys.
#include "epwing/body_decoder.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "common/epwing_book.h"
#include "common/system_charset.h"
#include "epwing/epw_settings.h"
#include "pattern/parser.h"

using namespace epwbook;

namespace {

EpwSettings testSettings(int32_t tagLevel) {
    EpwSettings s;
    s.tagLevel = tagLevel;
    s.keySeparator = "|";
    s.ixLeft = "[";
    s.ixRight = "]";
    return s;
}

std::string decodeAll(std::string_view codes, const EpwSettings* settings,
                      const std::vector<BookKey>* keys = nullptr) {
    // A code is taken only when it ends before the limit, as padding ends a
    // section.
    BookBytes book = BookBytes::fromMemory(std::string(codes) + std::string(2, '\0'));
    BodyDecoder decoder(book, settings);
    DecodeRange range;
    range.limit = book.size();
    range.keys = keys;
    std::string out;
    decoder.decode(range, [&out](std::string_view text) {
        out.append(text);
        return true;
    });
    return out;
}

struct CodeCase {
    const char* name;
    int32_t tagLevel;
    std::string codes;
    std::string expected;
};

const std::string kTen = "ABCDEFGHIJ";  // also valid JIS codes, if they were not skipped

std::vector<CodeCase> codeCases() {
    return {
        {"jis to sjis", 0, jis(sj("東京ａ")), sj("東京ａ")},
        {"narrow mode halves", 0, control(0x04) + jis(sj("ＡＢ")) + control(0x05) + jis(sj("Ａ")),
         "AB" + sj("Ａ")},
        {"subscript at level 0", 0, control(0x06) + jis(sj("２")) + control(0x07), "<sub>2</sub>"},
        {"picture skipped at 0", 0, control(0x44, kTen) + jis(sj("字")), sj("字")},
        {"picture plain at 1", 1, control(0x44, kTen) + jis(sj("字")), sj("<図>字")},
        {"picture with parameters", 2, control(0x44, kTen), sj("<図 ") + "4142434445464748494A>"},
        {"reference end at 2", 2, control(0x62, "ABCDEF"), sj("</関連 ") + "414243444546>"},
        {"colour at 2", 2, control(0x4D, std::string(18, '\x01')) + control(0x6D),
         sj("<カラー ") + "010101010101010101010101010101010101>" + sj("</カラー>")},
        {"blanks by count", 0, jis(sj("字")) + control(0x09, code(3)) + jis(sj("字")),
         sj("字") + "   " + sj("字")},
        {"line end inside", 0, jis(sj("あ")) + control(0x0A) + jis(sj("い")),
         sj("あ") + "\r\n" + sj("い")},
        {"emphasis only at 2", 1, control(0xE0, code(0x1F)) + control(0xE1) + control(0x12), ""},
        {"emphasis at 2", 2,
         control(0xE0, code(0x1F)) + control(0x12) + control(0x13) + control(0xE1),
         "<emph 1F><em></em></emph>"},
        {"display marks", 1, control(0x02) + control(0x03),
         sj("<表示開始>") + "\r\n" + sj("<表示終了>")},
        {"extension area", 0, control(0x08) + control(0xF0), sj("<拡張領域1F08><拡張領域1FF0>")},
        {"other descriptor", 0, control(0x30), sj("<記述子1F30>")},
        {"unknown code", 0, code(0x0041) + code(0x7427), sj("<不明41><不明7427>")},
        {"gaiji without table", 0, code(0xA121), sj("<外A121>")},
        {"zero padding is nothing", 0, jis(sj("字")) + std::string(64, '\0'), sj("字")},
        {"key markup at 1", 1, entry(sj("語")), "<KEY>" + sj("語")},
        {"key markup at 2", 2, entry(sj("語")), "<KEY 0001>" + sj("語")},
        {"entries trimmed", 0, entry(sj("　語 ")) + control(0x09, code(2)), sj("語")},
    };
}

TEST(BodyDecoder, ControlCodesByTagLevel) {
    for (const CodeCase& c : codeCases()) {
        const EpwSettings s = testSettings(c.tagLevel);
        EXPECT_EQ(decodeAll(c.codes, &s), c.expected) << c.name;
    }
}

TEST(BodyDecoder, ExternalCharacterThroughTable) {
    EpwSettings s = testSettings(0);
    s.gaiji["A121"] = "(c)";
    EXPECT_EQ(decodeAll(code(0xA121) + code(0xA122), &s), "(c)" + sj("<外A122>"));
}

// Each entry is a record of its own, also the last two of a section.
TEST(BodyDecoder, EveryEntryEndsBeforeTheNextSeparator) {
    const EpwSettings s = testSettings(0);
    const std::string body = entry(sj("あ")) + entry(sj("い")) + entry(sj("う"));
    EXPECT_EQ(decodeAll(body, &s), sj("あ") + "|" + sj("い") + "|" + sj("う"));
    // Without settings (the copyright text) no separator is written.
    EXPECT_EQ(decodeAll(body, nullptr), sj("あいう"));
}

TEST(BodyDecoder, LimitAndMaxLenEndTheText) {
    EpwSettings s = testSettings(0);
    const std::string body = entry(sj("あ")) + entry(sj("い"));
    BookBytes book = BookBytes::fromMemory(body);
    BodyDecoder decoder(book, &s);
    std::string out;
    DecodeRange range;
    range.limit = 6;  // the second entry's code ends past it
    decoder.decode(range, [&out](std::string_view t) { return out.append(t), true; });
    EXPECT_EQ(out, sj("あ"));

    s.maxLen = 4;
    EXPECT_EQ(decodeAll(body, &s), sj("あ"));
}

// Headings come from the keys whose text position the decoder passes: two
// keys of one entry give both headings in brackets, a repeated heading
// once, and rules see the first heading as ${KEY}.
TEST(BodyDecoder, HeadingsOfKeysStartTheirEntries) {
    const std::string headings = jis(sj("甲")) + control(0x0A) + jis(sj("乙")) + control(0x0A);
    const int64_t first = int64_t(headings.size());
    const std::string one = entry(sj("本文"));
    const std::string body = headings + one + entry(sj("次"));
    const int64_t second = first + int64_t(one.size());
    std::vector<BookKey> keys = {{first, 0}, {first, 4}, {first, 4}, {second, 4}};

    EpwSettings s = testSettings(0);
    std::string out = decodeAll(body, &s, &keys);
    EXPECT_EQ(out, sj("甲") + "\r\n" + sj("乙") + "|[" + sj("甲") + "][" + sj("乙") + "]" +
                       sj("本文") + "|[" + sj("乙") + "]" + sj("次"));

    s.rules.push_back({compileRex(sj("本文")), LStr(sj("${KEY}の文"))});
    s.rules.push_back({compileRex("^\\["), "\\${KEY}"});
    out = decodeAll(body, &s, &keys);
    EXPECT_NE(out.find("${KEY}" + sj("甲") + "][" + sj("乙") + "]" + sj("甲の文")),
              std::string::npos)
        << out;
}

// A book cut inside a code keeps the text before it and says so once.
TEST(BodyDecoder, CutBookEndsTheSectionWithOneMessage) {
    const std::string body = entry(sj("最初")) + entry(sj("次"));
    BookBytes book = BookBytes::fromMemory(body.substr(0, body.size() - 1));
    BodyDecoder decoder(book, nullptr);
    std::string out;
    DecodeRange range;
    range.limit = int64_t(body.size()) + 2;
    CaptureSink sink;
    EXPECT_EQ(decoder.decode(range, [&out](std::string_view t) { return out.append(t), true; }),
              DecodeEnd::kDamaged);
    EXPECT_EQ(out, sj("最初"));
    EXPECT_EQ(sink.messages().size(), 1u);
}

TEST(BodyDecoder, TrimmingKeepsDoubleByteCharacters) {
    const struct {
        std::string in, out;
    } cases[] = {
        {" \t" + sj("　語　") + "\r\n", sj("語")},
        {sj("ア"), sj("ア")},  // 0x83 0x41: no blank inside
        {sj("　　"), ""},
        {"\x81\x81@", "\x81\x81@"},  // a 0x81 0x40 that is no character start stays
    };
    for (const auto& c : cases) {
        LStr text(c.in);
        trimEntryText(text);
        EXPECT_EQ(std::string(text.view()), c.out) << c.in;
    }
}

}  // namespace
