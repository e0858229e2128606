// Parser forms and recoveries: what each pattern (defective ones included)
// goes on to match, and the warnings it gives.
#include "pattern/parser.h"

#include <gtest/gtest.h>

#include "../common/capture_sink.h"
#include "rex_test_util.h"

namespace {

// Each message must hold its fragment, in order; "" for no message.
std::string unmatchedWarnings(const CaptureSink& sink, std::string_view fragments) {
    std::vector<std::string_view> wanted;
    for (size_t at = 0; at < fragments.size();) {
        size_t bar = std::min(fragments.find(';', at), fragments.size());
        wanted.push_back(fragments.substr(at, bar - at));
        at = bar + 1;
    }
    std::string all;
    for (const auto& m : sink.messages()) all += m.text + "\n";
    if (sink.messages().size() != wanted.size()) return "messages:\n" + all;
    for (size_t i = 0; i < wanted.size(); ++i)
        if (sink.messages()[i].text.find(wanted[i]) == std::string::npos)
            return "no '" + std::string(wanted[i]) + "' in:\n" + all;
    return "";
}

TEST(Parser, FormsAndRecoveries) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        // pattern, text, its first match, a fragment of each message (";" between)
        {"a|", "ba", "1:a", ""},
        {"|a", "a", "none", "extra char(s) '|a' in regular expression '|a'"},
        {"a||b", "b a", "2:a", "empty item;extra char(s) '|b'"},
        {"a)b", "ab", "0:a", "extra char(s) ')b'"},
        {"a**", "aab", "0:aa", "illegal regular expression: '*';extra char(s) '*'"},
        {"x{2,1}", "xxx", "0:xx", "m > n"},
        {"x{-1,3}", "xxxx", "0:xxx", "m < 0"},
        {"x{1,-3}", "xx", "0:x", "n < 0"},
        {"x{,4}", "xxxxx", "0:xxxx", ""},
        {"x{3,}", "xx xxxxx", "3:xxxxx", ""},
        {"x{,}", "x{,}", "0:x{,}", "illegal use of '{'"},
        {"x{2", "x{2", "0:x{2", "illegal use of '{'"},
        {"x{a}", "x{a}", "0:x{a}", ""},
        {"[z-a]", "abcz", "none", "7Ah > 61h"},
        {"[a-]x", "]x", "1:x", "61h > 5Dh;missing ']'"},
        {"[ab", "xb", "1:b", "missing ']'"},
        {"[a-", "a", "0:a", "missing right arg of '-';missing ']'"},
        {"[\\t\\]]", "a]\t", "1:]", ""},
        {"(a){=1x}", "a{=1x}", "0:a{=1x}", "(name cannot be a number)"},
        {"(a){=}", "a{=}", "0:a{=}", "name string is empty;( ){=name}"},
        {"{:ab-}c", "-}c", "0:-}c", "missing '}';{:name}"},
        {"(?:)x", "x", "0:x", ""},
        {"(?#note)a", "a", "0:a", ""},
        {"(?#note", "a", "none", ""},
        {"(*=a)b", "cbab", "3:b", ""},
        {"(?q)a", "a", "0:a", "illegal '(?' expression in '(?q)a'"},
        {"(?<x(y))a", "ya", "1:a", "illegal '(?'"},  // nested parentheses are skipped too
        {"(*q)a", "a", "0:a", "illegal '(*' expression in '(*q)a'"},
        {"(ab", "xab", "1:ab", "missing ')' in regular expression '(ab'"},
        {"\\q", "\\q", "0:\\q", "unknown escape '\\q'"},
        {"\\.\\*\\\\", "a.*\\", "1:.*\\", ""},
        {"\\x41\\n", "A\r\n", "0:A\r\n", ""},
        {"{@xyz}ab", "ab", "0:ab", "illegal directive"},
        {"{@r:fn", "fn", "0:fn", "missing '}' after '{@r:'"},
        {"{@ign(x)}{@ign(y)}ab", "ayb axb", "4:axb", "duplicate '{@ign(...)}'"},
        {"{@ign(x)a", "a", "none", "missing ')}' after '{@ign(';extra char(s) ')a'"},
    };
    for (const auto& [pattern, text, match, warnings] : cases) {
        CaptureSink sink;
        EXPECT_EQ(firstMatch(pattern, text), match) << "pattern " << pattern;
        EXPECT_EQ(unmatchedWarnings(sink, warnings), "") << "pattern " << pattern;
    }
}

TEST(Parser, MessageNumbersAndJapaneseWording) {
    CaptureSink sink;
    setMessageLanguage('J');
    compileRex("(a");
    setMessageLanguage('E');
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].number, 35000);
    EXPECT_EQ(sink.messages()[0].text.substr(0, 8), "\x90\xB3\x8BK\x95\\\x8C\xBB");  // 正規表現
}

TEST(Parser, EscapeRexQuotesEveryMetacharacter) {
    EXPECT_EQ(escapeRex(".?*+{[^$|()\\]}-a"), "\\.\\?\\*\\+\\{\\[\\^\\$\\|\\(\\)\\\\]}-a");
    // ソ is 0x83 0x5C: its trail byte is no backslash.
    EXPECT_EQ(escapeRex("\x83\x5C("), "\x83\x5C\\(");
    EXPECT_EQ(escapeRex("a\x83"), "a\x83");
}

TEST(Parser, DeepNestingIsCutWithOneWarning) {
    CaptureSink sink;
    LRexPtr root = compileRex(std::string(100000, '(') + "a" + std::string(100000, ')'));
    ASSERT_NE(root, nullptr);
    ASSERT_GE(sink.messages().size(), 1u);
    EXPECT_NE(sink.messages()[0].text.find("nested too deeply"), std::string::npos);
    LRexSearcher s(root.get());
    EXPECT_EQ(s.search("xyz"), 0);  // the cut pattern (empty groups) still runs

    // A long flat branch is one sequence node, not a deep chain.
    sink.clear();
    std::string wide;
    for (int i = 0; i < 50000; ++i) wide += "a?";
    LRexSearcher w(wide);
    EXPECT_EQ(w.search("aaa"), 0);
    EXPECT_TRUE(sink.messages().empty());
}

}  // namespace
