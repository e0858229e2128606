// Services on top of the matcher: literal requirements for the index,
// replacement templates, and cutting records out of a memory stream.
#include <gtest/gtest.h>

#include "../common/capture_sink.h"
#include "pattern/record_reader.h"
#include "pattern/replace.h"
#include "pattern/requirements.h"
#include "rex_test_util.h"
#include "text/memory_stream.h"

namespace {

std::string req(const char* pattern) {
    LRexPtr root = compileRex(pattern);
    return std::string(patternRequirements(root.get())->toString().view());
}

TEST(Requirements, Normalised) {
    EXPECT_EQ(req("ab(c|d)"), "O(1:abc,1:abd)");
    EXPECT_EQ(req("ab(c|d)e"), "O(1:abce,1:abde)");
    EXPECT_EQ(req("a.b"), "S(1:a,X,1:b)");
    EXPECT_EQ(req("[xy]z[a-c]"), "O(S(1:xz,X),S(1:yz,X))");
    EXPECT_EQ(req("(ab)+\\d"), "S(1:ab,X,1:ab,X)");
    EXPECT_EQ(req("(a|b)(c|d)"), "O(1:ac,1:ad,1:bc,1:bd)");
    EXPECT_EQ(req("x|(y|z)"), "O(1:x,1:y,1:z)");
    EXPECT_EQ(req("\x82\xA0[\x82\xA2\x82\xA4]"), "O(1:\x82\xA0\x82\xA2,1:\x82\xA0\x82\xA4)");
    // Distribution stays bounded for many alternatives in a row.
    std::string many;
    for (int i = 0; i < 12; ++i) many += "(a|b)";
    LRexPtr root = compileRex(many);
    auto r = patternRequirements(root.get());
    EXPECT_LE(r->toString().length(), 100000);
}

std::string replaced(const char* text, const char* pattern, const char* templ,
                     int32_t* count = nullptr) {
    LStr s(text);
    int32_t n = replaceAll(s, pattern, templ);
    if (count) *count = n;
    return std::string(s.view());
}

TEST(Replace, Templates) {
    CaptureSink sink;
    int32_t n = 0;
    EXPECT_EQ(replaced("xaby", "(a)(b)", "\\2\\1", &n), "xbay");
    EXPECT_EQ(n, 1);
    EXPECT_EQ(replaced("ab", "x*", "-", &n), "-a-b");
    EXPECT_EQ(n, 2);
    EXPECT_EQ(replaced("abab", "b", "[\\0]"), "a[b]a[b]");
    EXPECT_EQ(replaced("k=v", "(\\w)=(\\w){=val}", "\\{val}:\\1"), "v:k");
    EXPECT_EQ(replaced("a b", " ", "\\t\\n"), "a\t\r\nb");
    EXPECT_EQ(replaced("abc", "q", "z", &n), "abc");
    EXPECT_EQ(n, 0);
    EXPECT_EQ(replaced("ab", "$", "!"), "ab!");
    EXPECT_TRUE(sink.messages().empty());
    // "\x82\xA0" in the template is one character, not an escape.
    EXPECT_EQ(replaced("a", "a", "\x83\x5Cn"), "\x83\x5Cn");
}

TEST(Replace, MissingCaptureIsReportedOncePerCall) {
    CaptureSink sink;
    EXPECT_EQ(replaced("aaa", "a", "<\\3>"), "<><><>");
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].number, 35000);
    EXPECT_EQ(sink.messages()[0].text, "Regular Expression: missing reference target for '3'");
}

TEST(Replace, OutputOnlyReplacements) {
    LRexSearcher s("\\d+", "<\\0>");
    s.setOutputMode(LRexSearcher::kOutputOnlyReplacements);
    LStr out;
    EXPECT_EQ(s.replace("a1b22c", out), 2);
    EXPECT_EQ(out, "<1><22>");
}

struct Cut {
    int32_t separator;
    std::string record;
};

std::vector<Cut> cutRecords(std::string_view data, const char* separator, int32_t maxLen,
                            bool useTable = true) {
    LRexPtr sep = compileRex(separator);
    LRexStartTable table = buildStartByteTable(*sep, 0);
    LMemSrm stream(data);
    std::vector<Cut> cuts;
    for (int guard = 0; guard < 1000; ++guard) {
        LStr record;
        int32_t n =
            readUntilRex(stream, sep.get(), 100, useTable ? &table : nullptr, record, maxLen);
        if (n == 0 && record.empty()) break;
        cuts.push_back({n, std::string(record.view())});
    }
    return cuts;
}

TEST(RecordReader, CutsAtSeparators) {
    auto cuts = cutRecords("ab\r\ncd", "\\n", 10000);
    ASSERT_EQ(cuts.size(), 2u);
    EXPECT_EQ(cuts[0].separator, 2);
    EXPECT_EQ(cuts[0].record, "ab\r\n");
    EXPECT_EQ(cuts[1].separator, 0);
    EXPECT_EQ(cuts[1].record, "cd");
    for (bool table : {true, false}) {
        auto paras = cutRecords("p1\r\n\r\np2\r\n\r\n", "(\\n){2,}", 10000, table);
        ASSERT_EQ(paras.size(), 2u);
        EXPECT_EQ(paras[0].record, "p1\r\n\r\n");
        EXPECT_EQ(paras[1].record, "p2\r\n\r\n");
    }
}

}  // namespace
