// Mirror paths under the index folder, their reverse, and which index file
// holds a source file's entry.
#include "index/ix_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

constexpr std::string_view kIx = "/home/u/.cache/VeloSoft/Quillfind_ix/";

std::string str(const LStr& s) {
    return std::string(s.view());
}

TEST(IxMirrorPath, EverySourceIsMirroredByItsAbsolutePath) {
    const std::string cwd = std::filesystem::current_path().string();
    struct Case {
        std::string source, mirrored;
    } cases[] = {
        {"/home/u/docs", "x_/home/u/docs"},
        {"/", "x_"},
        {"/../a/./b//", "x_/a/b"},
        {"docs/..", "x_" + cwd},
        {"C:\\docs", "x_" + cwd + "/C:\\docs"},  // a name like any other here
    };
    for (const Case& c : cases) {
        LStr path = ixMirrorPath(kIx, c.source);
        EXPECT_EQ(str(path), std::string(kIx) + c.mirrored) << c.source;
        EXPECT_TRUE(ixUnderMirrorRoot(kIx, path)) << c.source;
    }
    // A relative index folder is the same folder as its absolute form.
    EXPECT_EQ(str(ixIndexFileOf("ix", "a.txt")), cwd + "/ix/x_" + cwd + ".qfd");
}

TEST(IxSourcePath, UndoesTheMirror) {
    std::string ix(kIx);
    struct Case {
        std::string path, source;
    } cases[] = {
        {ix + "x_/home/u/docs/a.doc", "/home/u/docs/a.doc"},
        {"x_/tmp/b", "/tmp/b"},  // the mirrored form alone
        {ix + "C\\docs\\a", "C:\\docs\\a"},
        {ix + "r_c\\docs\\x", "c:docs\\x"},
        {ix + "u_srv\\s\\a", "\\\\srv\\s\\a"},
        {"plain", "plain"},
    };
    for (const Case& c : cases) EXPECT_EQ(str(ixSourcePath(kIx, c.path)), c.source) << c.path;
}

TEST(IxIndexFileOf, FilesOfOneFolderShareOneIndexFile) {
    std::string ix(kIx);
    struct Case {
        std::string source, indexFile;
    } cases[] = {
        {"/data/docs/a.txt", "x_/data/docs.qfd"},
        {"/data/docs/b.txt", "x_/data/docs.qfd"},
        {"/data//docs/./c.txt", "x_/data/docs.qfd"},
        {"/data/docs/sub/c.txt", "x_/data/docs/sub.qfd"},
        {"/a.txt", "x_.qfd"},  // the root's index file is visible, not "x_/.qfd"
        // A dictionary body converted into the index folder has its index beside it.
        {ix + "x_/dict/BOOK/honmon.TXT", "x_/dict/BOOK/HONMON.qfd"},
        {"/dict/BOOK/HONMON.txt", "x_/dict/BOOK.qfd"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(str(ixIndexFileOf(kIx, c.source)), ix + c.indexFile) << c.source;
}

TEST(IxUnderMirrorRoot, AcceptsOnlyTheProgramsRoots) {
    std::string ix(kIx);
    struct Case {
        std::string path;
        bool under;
    } cases[] = {
        {ix + "x_/a.qfd", true},    {ix + "x_.qfd", true},           {ix + "u_srv\\s.qfd", true},
        {ix + "r_C\\a.qfd", true},  {ix + "C\\docs.qfd", true},      {ix + "notes.txt", false},
        {ix + "my/x_a.txt", false}, {ix + "x_/../notes.txt", false}, {"/elsewhere/x_/a.qfd", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ixUnderMirrorRoot(kIx, c.path), c.under) << c.path;
}

}  // namespace
