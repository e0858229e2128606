// File-name masks: "*", "?", case, double-byte characters and the forms
// that ignore a missing extension.
#include "support/wildcard.h"

#include <gtest/gtest.h>

namespace {

struct MaskCase {
    const char* mask;
    const char* name;
    bool matches;
};

TEST(Wildcard, MatchTable) {
    const MaskCase cases[] = {
        // "*" and the extension forms.
        {"*", "anything.txt", true},
        {"*.*", "a.txt", true},
        {"*.*", "noext", true},
        {"*.txt", "a.txtx", false},
        {"*.txt", ".txt", true},
        {"readme.*", "readme", true},
        {"readme.*", "readme2", false},
        {"*.", "noext", true},
        {"*.", "a.txt", false},
        {"abc.", "abc", true},
        {"a*b*c", "aXXbYYcd", false},
        {"a*b*c", "abcbc", true},
        {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
        // "?" is exactly one character.
        {"?.txt", ".txt", false},
        {"?.txt", "ab.txt", false},
        // ASCII letters compare without case.
        {"*.TXT", "Notes.txt", true},
        // Double-byte characters are single characters and compare exactly.
        {"?.txt", "\x93\xfa.txt", true},  // "日"
        {"??.txt", "\x93\xfa.txt", false},
        {"\x93\xfa*", "\x93\xfa\x96\x7b.txt", true},  // "日*" vs "日本.txt"
        // "Ａ" (0x82 0x60) and "Ｂ" (0x82 0x61): trail bytes are no ASCII letters.
        {"\x82\x60", "\x82\x61", false},
        // A trail byte that looks like "a" does not match an ASCII "A".
        {"*A", "\x82\x61", false},
        {"?a", "\x82\x61", false},
        // Literal bytes.
        {"a\\b", "a\\b", true},
        {"[ab]", "a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matchesWildcard(c.mask, c.name), c.matches)
            << "mask '" << c.mask << "' name '" << c.name << "'";
}

}  // namespace
