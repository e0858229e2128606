// Mirror paths under the index folder, their reverse, and which index file
// holds a source file's entry.
#include "index/ix_paths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::string_view kIx = "/home/u/.cache/VeloSoft/Quillfind_ix/";

std::string str(const LStr& s) {
    return std::string(s.view());
}

TEST(IxMirrorPath, MapsEveryRowOfTheTable) {
    struct Case {
        std::string_view source, mirrored;
    } cases[] = {
        {"/home/u/docs", "x_/home/u/docs"},
        {"/", "x_"},
        {"docs/sub", "x_docs/sub"},
        {"C:\\docs\\a", "C\\docs\\a"},
        {"c:docs", "r_c\\docs"},
        {"\\\\srv\\share\\a", "u_srv\\share\\a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(str(ixMirrorPath(kIx, c.source)), std::string(kIx) + std::string(c.mirrored))
            << c.source;
}

TEST(IxMirrorPath, StaysInsideTheIndexFolder) {
    struct Case {
        std::string_view source, mirrored;
    } cases[] = {
        {"/a/./b//c/", "x_/a/b/c"}, {"/a/b/../c", "x_/a/c"},        {"/../../etc", "x_/etc"},
        {"../../etc", "x_../etc"},  {"\\\\srv/../../x", "u_srv/x"},
    };
    for (const Case& c : cases) {
        LStr path = ixMirrorPath(kIx, c.source);
        EXPECT_EQ(str(path), std::string(kIx) + std::string(c.mirrored)) << c.source;
        EXPECT_TRUE(ixUnderMirrorRoot(kIx, path)) << c.source;
    }
}

TEST(IxSourcePath, UndoesTheMirror) {
    for (std::string_view source :
         {"/home/u/docs/a.doc", "C:\\docs\\a", "c:docs\\x", "\\\\srv\\s\\a"})
        EXPECT_EQ(str(ixSourcePath(kIx, ixMirrorPath(kIx, source))), std::string(source)) << source;
    // Without the index folder in front the mirrored form alone is mapped back.
    EXPECT_EQ(str(ixSourcePath(kIx, "x_/tmp/b")), "/tmp/b");
    EXPECT_EQ(str(ixSourcePath(kIx, "plain")), "plain");
}

TEST(IxIndexFileOf, FilesOfOneFolderShareOneIndexFile) {
    std::string ix(kIx);
    EXPECT_EQ(str(ixIndexFileOf(kIx, "/data/docs/a.txt")), ix + "x_/data/docs.qfd");
    EXPECT_EQ(str(ixIndexFileOf(kIx, "/data/docs/b.txt")), ix + "x_/data/docs.qfd");
    EXPECT_EQ(str(ixIndexFileOf(kIx, "/data/docs/sub/c.txt")), ix + "x_/data/docs/sub.qfd");
    // The root folder's index file is a visible file under the root, not "x_/.qfd".
    EXPECT_EQ(str(ixIndexFileOf(kIx, "/a.txt")), ix + "x_.qfd");
}

TEST(IxIndexFileOf, DictionaryBodyInTheIndexFolderHasItsIndexBesideIt) {
    std::string ix(kIx);
    EXPECT_EQ(str(ixIndexFileOf(kIx, ix + "x_/dict/BOOK/honmon.TXT")),
              ix + "x_/dict/BOOK/HONMON.qfd");
    // Outside the index folder a HONMON.txt is an ordinary file.
    EXPECT_EQ(str(ixIndexFileOf(kIx, "/dict/BOOK/HONMON.txt")), ix + "x_/dict/BOOK.qfd");
}

TEST(IxUnderMirrorRoot, AcceptsOnlyTheProgramsRoots) {
    std::string ix(kIx);
    EXPECT_TRUE(ixUnderMirrorRoot(kIx, ix + "x_/a.qfd"));
    EXPECT_TRUE(ixUnderMirrorRoot(kIx, ix + "x_.qfd"));
    EXPECT_TRUE(ixUnderMirrorRoot(kIx, ix + "u_srv\\s.qfd"));
    EXPECT_TRUE(ixUnderMirrorRoot(kIx, ix + "r_C\\a.qfd"));
    EXPECT_TRUE(ixUnderMirrorRoot(kIx, ix + "C\\docs.qfd"));
    EXPECT_FALSE(ixUnderMirrorRoot(kIx, ix + "notes.txt"));
    EXPECT_FALSE(ixUnderMirrorRoot(kIx, ix + "my/x_a.txt"));
    EXPECT_FALSE(ixUnderMirrorRoot(kIx, ix + "x_/../notes.txt"));
    EXPECT_FALSE(ixUnderMirrorRoot(kIx, "/elsewhere/x_/a.qfd"));
}

}  // namespace
