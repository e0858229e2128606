// Generated Japanese text for the benchmarks: kana, common kanji, a few ASCII
// words and punctuation, one CR LF line every 40 to 80 characters.
#pragma once
#include <cstdint>
#include <random>
#include <string>

inline std::u16string generateJapanese(size_t units, uint32_t seed) {
    const std::u16string kanji =
        u"日本語文字検索索引時間年月人大中小学生先会社出入上下前後東西南北国語"
        u"書読話見聞行来思言知分手力気円電車道自動新古高安多少長明暗目耳口";
    const std::u16string punctuation = u"、。「」・ー（）";
    const std::u16string ascii[] = {u"index", u"Quill", u"2024", u"text", u"UTF-8"};
    std::mt19937 random(seed);
    std::u16string text;
    text.reserve(units + 100);
    size_t lineLength = 0;
    while (text.size() < units) {
        const int kind = int(random() % 100);
        if (kind < 45)
            text += char16_t(0x3041 + random() % 83);  // hiragana
        else if (kind < 60)
            text += char16_t(0x30A1 + random() % 83);  // katakana
        else if (kind < 85)
            text += kanji[random() % kanji.size()];
        else if (kind < 93)
            text += punctuation[random() % punctuation.size()];
        else
            text += ascii[random() % 5];
        if (++lineLength > 40 + random() % 40) {
            text += u"\r\n";
            lineLength = 0;
        }
    }
    return text;
}
