// File-name masks: "*", "?", case, double-byte characters and the forms
// that ignore a missing extension.
#include "support/wildcard.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(Wildcard, MatchTable) {
    // "?" is exactly one character; ASCII letters compare without case;
    // double-byte characters are single characters and compare exactly, and
    // their trail bytes are no ASCII letters ("日" 0x93 0xFA, "Ａ" 0x82 0x60,
    // "Ｂ" 0x82 0x61).
    // clang-format off
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"*", "anything.txt", true}, {"*.*", "a.txt", true}, {"*.*", "noext", true},
        {"*.txt", "a.txtx", false}, {"*.txt", ".txt", true}, {"readme.*", "readme", true},
        {"readme.*", "readme2", false}, {"*.", "noext", true}, {"*.", "a.txt", false},
        {"abc.", "abc", true}, {"a*b*c", "aXXbYYcd", false}, {"a*b*c", "abcbc", true},
        {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false}, {"?.txt", ".txt", false},
        {"?.txt", "ab.txt", false}, {"*.TXT", "Notes.txt", true}, {"?.txt", "\x93\xfa.txt", true},
        {"??.txt", "\x93\xfa.txt", false}, {"\x93\xfa*", "\x93\xfa\x96\x7b.txt", true},
        {"\x82\x60", "\x82\x61", false}, {"*A", "\x82\x61", false}, {"?a", "\x82\x61", false},
        {"a\\b", "a\\b", true}, {"[ab]", "a", false}};
    // clang-format on
    for (const auto& [mask, name, matches] : cases)
        EXPECT_EQ(matchesWildcard(mask, name), matches)
            << "mask '" << mask << "' name '" << name << "'";
}
