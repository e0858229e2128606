// RTF to Shift-JIS text: visible characters stay, breaks become CR LF or TAB,
// header groups vanish, and damaged or hostile input ends cleanly.
#include "convert/rtf_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "support/stop_flag.h"

static std::string convert(std::string_view rtf) {
    LStr out;
    EXPECT_TRUE(rtfToText(rtf, out)) << rtf;
    return std::string(out.view());
}

TEST(RtfReader, ConvertsDocumentText) {
    struct {
        const char* rtf;
        std::string text;
    } cases[] = {
        {"{\\rtf1 Hello\\par\r\nWorld}", "Hello\r\nWorld"},
        {R"(a\line b\page c\pard d)", "a\r\nb\r\ncd"},
        {R"(a\tab b)", "a\tb"},
        // Only one blank ends a word; any other byte is text again.
        {R"(\par\par  x\fs24;)", "\r\n\r\n x;"},
        {R"(\li-360\fs24x y)", "y"},
        {R"(\'82\'a0\'8A\'9f)", "\x82\xa0\x8a\x9f"},
        {R"(\'zz!)", "!"},
        {"\x93\xfa\x8c\xea", "\x93\xfa\x8c\xea"},
        {R"(\{a\}\\{b})", "{a}\\b"},
        {R"(a\~b\-c\_d)", "abcd"},
        // A Unicode escape is the text; the \ucN fallback characters after it go.
        {R"(\u26085\'3f\u26412\'3f)", "\x93\xfa\x96\x7b"},
        {R"(\u26085 ?!)", "\x93\xfa!"},
        {R"(\uc0\u26085?)", "\x93\xfa?"},
        {R"(\uc2\u26085\'93\'fa!)", "\x93\xfa!"},
        {R"(\uc2\u26085\fs24 x!)", "\x93\xfa!"},
        {R"(\u26085{x}y)", "\x93\xfaxy"},
        // A group's \ucN ends with it; a skipped group's too.
        {R"({\uc2\u26085??}\u26412??)", "\x93\xfa\x96\x7b?"},
        {R"({\uc2{\info\uc0}\u26085??}\u26412??)", "\x93\xfa\x96\x7b?"},
        {R"(\u-10179?\u-8694?\u233?)", "{%uD83D}{%uDE0A}{%u00E9}"},
        {R"(\u65 \ul \ucx \u-40000 z)", "Az"},
        // Header groups go with everything nested in them.
        {R"({\fonttbl{\f0 MS Mincho;}{\f1 a\}b;}}x)", "x"},
        {R"({\colortbl;\red0\green0\blue0;}{\stylesheet{\s0 Normal;}}x)", "x"},
        {R"({\info{\title T}{\author A}}{\listtable{\list L}}{\upr{U}{\*\ud{V}}}x)", "x"},
        {R"({\pnseclvl1\pnucrm{\pntxta .}}x)", "x"},
        {R"({\*\generator X;})", "X;"},
        // Cut off anywhere: the text so far.
        {R"({\rtf1 abc\)", "abc"},
        {R"(abc\'8)", "abc"},
        {R"(abc\pa)", "abc"},
        {R"(abc{\fonttbl{\f0 x)", "abc"},
        {R"(abc{\info\)", "abc"},
    };
    for (const auto& c : cases) EXPECT_EQ(convert(c.rtf), c.text) << c.rtf;
}

TEST(RtfReader, DeepNestingNeedsNoStack) {
    const std::string opens(100000, '{');
    EXPECT_EQ(convert(opens + "x" + std::string(100000, '}')), "x");
    EXPECT_EQ(convert(R"({\fonttbl)" + opens + "x"), "");
}

TEST(RtfReader, StopsWhenAsked) {
    const std::string rtf(100000, 'a');
    LStr out;
    stopFlag() = 1;
    const bool finished = rtfToText(rtf, out);
    stopFlag() = 0;
    EXPECT_FALSE(finished);
    EXPECT_LT(out.length(), 100000);
}
