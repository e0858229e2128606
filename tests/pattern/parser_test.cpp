// Parser forms and recoveries: the tree each pattern text compiles to (in a
// compact notation), and the warnings with their numbers and wordings.
#include "pattern/parser.h"

#include <gtest/gtest.h>

#include "../common/capture_sink.h"
#include "pattern/nodes/brace_rex.h"
#include "pattern/nodes/chars_rex.h"
#include "pattern/nodes/empty_rex.h"
#include "pattern/nodes/flat_rex.h"
#include "pattern/nodes/or_rex.h"
#include "pattern/nodes/ref_rex.h"
#include "pattern/nodes/rep_rex.h"
#include "pattern/nodes/seq_rex.h"
#include "pattern/nodes/sp_rex.h"
#include "pattern/searcher.h"

namespace {

std::string shape(const LRex* n);

std::string list(const std::vector<LRexPtr>& items) {
    std::string s;
    for (const auto& i : items) s += (s.empty() ? "" : ",") + shape(i.get());
    return s;
}

// flat"ab" chars[^61-63] rep{m,n}? seq(..) or(..) grp0(..) ref(x) sp(b) empty
std::string shape(const LRex* n) {
    if (!n) return "null";
    if (auto f = dynamic_cast<const LFlatRex*>(n))
        return "\"" + std::string(f->text().view()) + "\"";
    if (auto c = dynamic_cast<const LCharsRex*>(n)) {
        std::string s = c->negated() ? "[^" : "[";
        char buf[32];
        for (auto [lo, hi] : c->ranges()) {
            snprintf(buf, sizeof buf, lo == hi ? "%X " : "%X-%X ", lo, hi);
            s += buf;
        }
        return s + "]";
    }
    if (auto r = dynamic_cast<const LRepRex*>(n)) {
        std::string max = r->max() == kRexUnbounded ? "" : std::to_string(r->max());
        return "rep{" + std::to_string(r->min()) + "," + max + "}" + (r->lazy() ? "?" : "") + "(" +
               shape(r->child()) + ")";
    }
    if (auto s = dynamic_cast<const LSeqRex*>(n)) return "seq(" + list(s->items()) + ")";
    if (auto o = dynamic_cast<const LOrRex*>(n)) return "or(" + list(o->branches()) + ")";
    if (auto b = dynamic_cast<const LBraceRex*>(n))
        return "grp" + std::to_string(b->number()) + "(" + shape(b->child()) + ")";
    if (auto r = dynamic_cast<const LRefRex*>(n))
        return std::string(r->flags() & RexCustomRef ? "custom(" : "ref(") + r->name() + ")";
    if (auto p = dynamic_cast<const LSpRex*>(n)) {
        std::string t = p->type() == kSpLineStart ? "topl"
                        : p->type() == kSpLineEnd ? "endl"
                                                  : std::string(1, char(p->type()));
        if (p->reverse()) t = "<" + t;
        return "sp" + t + (p->sub() ? "(" + shape(p->sub()) + ")" : "");
    }
    if (dynamic_cast<const LEmptyRex*>(n)) return "empty";
    return "?";
}

std::string messagesOf(const CaptureSink& sink) {
    std::string s;
    for (const auto& m : sink.messages()) s += std::to_string(m.number) + ":" + m.text + "\n";
    return s;
}

struct ParseCase {
    const char* pattern;
    const char* tree;
    const char* messages;  // "number:text\n" each
};

TEST(Parser, FormsAndRecoveries) {
    const std::vector<ParseCase> cases = {
        {"abc", "\"abc\"", ""},
        {"a|", "\"a\"", ""},
        {"|a", "empty", "35000:extra char(s) '|a' in regular expression '|a'\n"},
        {"a||b", "\"a\"",
         "35000:empty item in regular expression 'a||b'\n"
         "35000:extra char(s) '|b' in regular expression 'a||b'\n"},
        {"a)b", "\"a\"", "35000:extra char(s) ')b' in regular expression 'a)b'\n"},
        {"a**", "rep{0,}(\"a\")",
         "35001:illegal regular expression: '*'\n"
         "35000:extra char(s) '*' in regular expression 'a**'\n"},
        {"ab*c", "seq(\"a\",rep{0,}(\"b\"),\"c\")", ""},
        {"x{2,1}", "rep{2,2}(\"x\")", "35000:{m,n}: m > n in 'x{2,1}'\n"},
        {"x{-1,3}", "rep{0,3}(\"x\")", "35000:{m,n}: m < 0 in 'x{-1,3}'\n"},
        {"x{1,-3}", "rep{1,1}(\"x\")", "35000:{m,n}: n < 0 in 'x{1,-3}'\n"},
        {"x{,4}", "rep{0,4}(\"x\")", ""},
        {"x{,}", "\"x{,}\"", "35000:illegal use of '{' in 'x{,}'\n"},
        {"x{2", "\"x{2\"", "35000:illegal use of '{' in 'x{2'\n"},
        {"x{a}", "\"x{a}\"", ""},
        {"[z-a]", "[7A-61 ]", "35000:illegal [a-b] expression: 7Ah > 61h: [z-a]\n"},
        {"[a-]x", "[61-5D 78 ]",
         "35000:illegal [a-b] expression: 61h > 5Dh: [a-]x\n"
         "35000:illegal [ ] expression (missing ']'): '[a-]x'\n"},
        {"[ab", "[61 62 ]", "35000:illegal [ ] expression (missing ']'): '[ab'\n"},
        {"[a-", "[61 ]",
         "35000:illegal [ ] expression (missing right arg of '-'): '[a-'\n"
         "35000:illegal [ ] expression (missing ']'): '[a-'\n"},
        {"[\\n\\t]", "[A 9 ]", ""},
        {"[\\]]", "[5D ]", ""},
        {"(a)(b)\\2", "seq(grp0(\"a\"),grp1(\"b\"),ref(2))", ""},
        {"(a){=1x}", "seq(grp0(\"a\"),\"{=1x}\")",
         "35000:ignore illegal ( ){=name} expression in '(a){=1x}' (name cannot be a number)\n"},
        {"(a){=}", "seq(grp0(\"a\"),\"{=}\")",
         "35000:name string is empty\n"
         "35000:ignore illegal ( ){=name} expression in '(a){=}'\n"},
        {"{:ab-}c", "\"-}c\"",
         "35000:missing '}'\n35000:ignore illegal {:name} expression in '{:ab-}c'\n"},
        {"(?:a|b)", "grp-1(or(\"a\",\"b\"))", ""},
        {"(?#note)", "empty", ""},
        {"(?=a)(?!b)", "seq(sp=(\"a\"),sp!(\"b\"))", ""},
        {"(?<=a)(?<!b)(*=c)(*!d)", "seq(sp<=(\"a\"),sp<!(\"b\"),sp<=(\"c\"),sp<!(\"d\"))", ""},
        {"(?topl)(?endl)(?tops)(?ends)^$", "seq(sptopl,spendl,sp^,sp$,sp^,sp$)", ""},
        {"(?cx:a)", "seq(sp!(\"a\"),[^])", ""},
        {"(?q)a", "\"a\"", "35000:ignore illegal '(?' expression in '(?q)a'\n"},
        {"(?<x(y))a", "\"a\"", "35000:ignore illegal '(?' expression in '(?<x(y))a'\n"},
        {"(*q)a", "\"a\"", "35000:ignore illegal '(*' expression in '(*q)a'\n"},
        {"(ab", "grp0(\"ab\")", "35000:missing ')' in regular expression '(ab'\n"},
        {"\\b\\B\\c\\C\\d\\D\\p\\P\\s\\S\\w\\W",
         "seq(spb,spB,spc,spC,spd,spD,spp,spP,sps,spS,spw,spW)", ""},
        {"\\q", "\"\\q\"", "35000:unknown escape '\\q' in regular expression\n"},
        {"\\.\\*\\\\", "\".*\\\"", ""},
        {"\\x41\\n", "\"A\r\n\"", ""},
        {"{@xyz}ab", "\"ab\"", "35000:ignore illegal directive {@...} in '{@xyz}ab'\n"},
        {"{@r:fn}", "custom(fn)", ""},
        {"{@r:fn", "\"fn\"", "35000:missing '}' after '{@r:': '{@r:fn'\n"},
        {"{@ign(x)}{@ign(y)}a", "\"a\"", "35000:duplicate '{@ign(...)}'\n"},
        {"{@ign(x)a", "empty",
         "35000:missing ')}' after '{@ign(': '{@ign(x)a'\n"
         "35000:extra char(s) ')a' in regular expression '{@ign(x)a'\n"},
        {"{@ign(-)}ab", "seq(\"a\",\"b\")", ""},
        {"{@ic}ab{@c}cd", "seq(\"ab\",\"cd\")", ""},
    };
    for (const auto& tc : cases) {
        CaptureSink sink;
        LRexPtr root = compileRex(tc.pattern);
        EXPECT_EQ(shape(root.get()), tc.tree) << "pattern " << tc.pattern;
        EXPECT_EQ(messagesOf(sink), tc.messages) << "pattern " << tc.pattern;
    }
}

TEST(Parser, EmptyTextGivesNoTree) {
    EXPECT_EQ(compileRex(""), nullptr);
    EXPECT_EQ(compileRex(std::string_view("\0a", 2)), nullptr);
}

TEST(Parser, JapaneseWordings) {
    CaptureSink sink;
    setMessageLanguage('J');
    compileRex("a||b");
    compileRex("(a");
    compileRex("a**");
    setMessageLanguage('E');
    // 正規表現「a||b」は空の項目を含んでいます
    EXPECT_EQ(sink.messages().at(0).text,
              "\x90\xB3\x8BK\x95\\\x8C\xBB\x81u"
              "a||b"
              "\x81v\x82\xCD\x8B\xF3\x82\xCC\x8D\x80"
              "\x96\xDA\x82\xF0\x8A\xDC\x82\xF1\x82\xC5\x82\xA2\x82\xDC\x82\xB7");
    // 正規表現「(a」に対応する「)」がありません
    EXPECT_EQ(sink.messages().at(2).text,
              "\x90\xB3\x8BK\x95\\\x8C\xBB\x81u(a\x81v\x82\xC9\x91\xCE\x89\x9E\x82\xB7\x82\xE9"
              "\x81u)\x81v\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1");
    // 正規表現が正しくありません:「*」 under 35001
    EXPECT_EQ(sink.messages().at(3).number, 35001);
    EXPECT_EQ(sink.messages().at(3).text,
              "\x90\xB3\x8BK\x95\\\x8C\xBB\x82\xAA\x90\xB3\x82\xB5\x82\xAD\x82\xA0\x82\xE8\x82\xDC"
              "\x82\xB9\x82\xF1:\x81u*\x81v");
}

TEST(Parser, EscapeRexQuotesEveryMetacharacter) {
    EXPECT_EQ(escapeRex(".?*+{[^$|()\\]}-a"), "\\.\\?\\*\\+\\{\\[\\^\\$\\|\\(\\)\\\\]}-a");
    // ソ is 0x83 0x5C: its trail byte is no backslash.
    EXPECT_EQ(escapeRex("\x83\x5C("), "\x83\x5C\\(");
    EXPECT_EQ(escapeRex("a\x83"), "a\x83");
    CaptureSink sink;
    LRexSearcher s("a.b*(c)", LRexSearcher::Text::Literal);
    EXPECT_EQ(s.search("xa.b*(c)"), 1);
    EXPECT_EQ(s.matchLen(), 7);
    EXPECT_TRUE(sink.messages().empty());
}

TEST(Parser, DeepNestingIsCutWithOneWarning) {
    CaptureSink sink;
    std::string deep(100000, '(');
    deep += "a";
    deep += std::string(100000, ')');
    LRexPtr root = compileRex(deep);
    ASSERT_NE(root, nullptr);
    ASSERT_GE(sink.messages().size(), 1u);
    EXPECT_NE(sink.messages()[0].text.find("nested too deeply"), std::string::npos);
    LRexSearcher s(root.get());
    EXPECT_EQ(s.search("xyz"), 0);  // the cut pattern (empty groups) still runs

    // A long flat branch is one sequence node, not a deep chain.
    CaptureSink sink2;
    std::string wide;
    for (int i = 0; i < 50000; ++i) wide += "a?";
    LRexSearcher w(wide);
    EXPECT_EQ(w.search("aaa"), 0);
    EXPECT_TRUE(sink2.messages().empty());
}

TEST(Parser, AnyByteStringCompiles) {
    CaptureSink sink;
    std::string all;
    for (int b = 1; b < 256; ++b) all += char(b);
    for (size_t i = 0; i < all.size(); ++i) {
        LRexPtr root = compileRex(all.substr(i));
        LRexSearcher s(root.get());
        s.search(all);
    }
    SUCCEED();
}

}  // namespace
