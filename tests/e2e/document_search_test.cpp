// An RTF document is searched through its converted text, with and without
// the index, and its result lines name the document itself.
#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

TEST(DocumentSearch, RtfIsSearchedThroughItsText) {
    TempDir dir;
    dir.write("docs/note.rtf",
              "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 first line\\par\n"
              "the quillword here\\par\n}");
    dir.write("docs/plain.txt", "another quillword\r\n");
    const std::string folder = dir.path("docs");
    const std::vector<std::string> args = {"--files=*.rtf;*.txt", "--set",
                                           "ixfDir=" + dir.path("ix"), "quillword"};
    const QfResult plain = search(args, folder);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_NE(plain.out.find(marker(1) + "note.rtf("), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find(hit("quillword") + " here"), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find(summary(2, 2, 2)), std::string::npos) << plain.out;
    EXPECT_EQ(plain.out.find("\\par"), std::string::npos);  // not the raw RTF
    EXPECT_TRUE(dir.exists("ix/.quillfind-index"));  // so that the clean-up may act there

    std::vector<std::string> indexed = args;
    indexed.insert(indexed.begin(), "--index");
    for (int run = 0; run < 2; ++run) {  // building the index, then reusing it
        const QfResult withIndex = search(indexed, folder);
        EXPECT_TRUE(withIndex.out == plain.out) << run << withIndex.out;
        EXPECT_EQ(withIndex.err, plain.err) << run;
    }
}
