// Mirror paths under the index folder, their reverse, and which index file
// holds a source file's entry.
#include "index/ix_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kIx = "/home/u/.cache/VeloSoft/Quillfind_ix/";
using Row = std::pair<std::string, std::string>;

std::string str(const LStr& s) {
    return std::string(s.view());
}

TEST(IxMirrorPath, EverySourceIsMirroredByItsAbsolutePath) {
    const std::string cwd = std::filesystem::current_path().string();
    const Row cases[] = {
        {"/home/u/docs", "x_/home/u/docs"},
        {"/", "x_"},
        {"/../a/./b//", "x_/a/b"},
        {"docs/..", "x_" + cwd},
    };
    for (const auto& [source, mirrored] : cases) {
        LStr path = ixMirrorPath(kIx, source);
        EXPECT_EQ(str(path), kIx + mirrored) << source;
        EXPECT_TRUE(ixUnderMirrorRoot(kIx, path)) << source;
    }
    // A relative index folder is the same folder as its absolute form.
    EXPECT_EQ(str(ixIndexFileOf("ix", "a.txt")), cwd + "/ix/x_" + cwd + ".qfd");
}

TEST(IxSourcePath, UndoesTheMirror) {
    const Row cases[] = {
        {kIx + "x_/home/u/docs/a.doc", "/home/u/docs/a.doc"},
        {"x_/tmp/b", "/tmp/b"},  // the mirrored form alone
        {"plain", "plain"},
    };
    for (const auto& [path, source] : cases)
        EXPECT_EQ(str(ixSourcePath(kIx, path)), source) << path;
}

TEST(IxIndexFileOf, FilesOfOneFolderShareOneIndexFile) {
    const Row cases[] = {
        {"/data/docs/a.txt", "x_/data/docs.qfd"},
        {"/data//docs/./c.txt", "x_/data/docs.qfd"},
        {"/data/docs/sub/c.txt", "x_/data/docs/sub.qfd"},
        {"/a.txt", "x_.qfd"},  // the root's index file is visible, not "x_/.qfd"
        // A dictionary body converted into the index folder has its index beside it.
        {kIx + "x_/dict/BOOK/honmon.TXT", "x_/dict/BOOK/HONMON.qfd"},
        {"/dict/BOOK/HONMON.txt", "x_/dict/BOOK.qfd"},
    };
    for (const auto& [source, indexFile] : cases)
        EXPECT_EQ(str(ixIndexFileOf(kIx, source)), kIx + indexFile) << source;
}

TEST(IxUnderMirrorRoot, AcceptsOnlyTheProgramsRoots) {
    for (const char* under : {"x_/a.qfd", "x_.qfd"})
        EXPECT_TRUE(ixUnderMirrorRoot(kIx, kIx + under)) << under;
    for (const std::string& other : {kIx + "notes.txt", kIx + "my/x_a.txt", kIx + "x_/../notes.txt",
                                     std::string("/elsewhere/x_/a.qfd")})
        EXPECT_FALSE(ixUnderMirrorRoot(kIx, other)) << other;
}

}  // namespace
