// The first-character scan against a walk over every character, on texts
// whose wanted first bytes also occur as second bytes of other characters.
#include "search/first_char_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "text/sjis.h"

static int32_t walkNext(std::string_view text, int32_t from, const std::function<bool(int)>& wanted,
                        std::string_view needle) {
    for (size_t pos = size_t(from); pos < text.size(); pos += size_t(charLength(text, pos)))
        if (wanted(charAt(text, pos)) && text.substr(pos).starts_with(needle)) return int32_t(pos);
    return -1;
}

static std::string randomText(std::mt19937& rng, size_t size) {
    // Second bytes that equal wanted first bytes: 0x83 0x53 ("S" as a
    // second byte), 0x83 0x93 then 0x83 ("塔" across two characters).
    static const std::vector<std::string> pieces = {
        "S",        "s",    "\x83\x53", "\x83\x93", "\x93\x83", "\x82\x72", "\x82\x93",
        "\x81\x81", "\xB1", "a",        "\n",       "\x83",     "Sh",       "\x93\x83\x93"};
    std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
    std::string text;
    while (text.size() < size) text += pieces[pick(rng)];
    return text;
}

TEST(FirstCharScan, FindsWhatACharacterWalkFinds) {
    std::vector<int> ascii;
    for (int c = 0; c < 0x80; ++c)
        if (c != 'S') ascii.push_back(c);
    struct Case {
        const char* name;
        std::vector<int> codes;
        std::string needle;
    } cases[] = {
        {"S", {'S'}, ""},           {"S s Ｓ ｓ", {'S', 's', 0x8272, 0x8293}, ""},
        {"塔", {0x9383}, ""},       {"塔 needle", {0x9383}, "\x93\x83\x93"},
        {"Sh needle", {'S'}, "Sh"}, {"lone lead", {0x83}, ""},
        {"many bytes", ascii, ""},  {"none", {}, ""},
    };
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        const std::string text = randomText(rng, 300 + size_t(round) * 37);
        for (const Case& c : cases) {
            FirstCharScan scan(c.codes);
            const auto wanted = [&](int code) {
                return std::find(c.codes.begin(), c.codes.end(), code) != c.codes.end();
            };
            for (size_t from = 0; from <= text.size();
                 from += size_t(std::max(1, charLength(text, from)))) {
                ASSERT_EQ(scan.next(text, int32_t(from), c.needle),
                          walkNext(text, int32_t(from), wanted, c.needle))
                    << c.name << " from " << from << " round " << round;
            }
        }
    }
}
