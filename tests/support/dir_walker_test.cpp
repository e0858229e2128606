// The folder walk: files mask by mask in byte order before subfolders, skipped
// hidden and system entries, link cycles, and an early end on the visitor's word.
#include "support/dir_walker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/temp_dir.h"

namespace {

using Names = std::vector<std::string>;

// The files a walk visits, relative to root.
Names walk(const std::string& root, const std::vector<const char*>& masks,
           bool withSubfolders = true) {
    std::vector<LStr> maskList(masks.begin(), masks.end());
    Names visited;
    walkFolder(root, maskList, withSubfolders, [&](const LStr& path) {
        std::string s(path.view());
        visited.push_back(s.rfind(root + "/", 0) == 0 ? s.substr(root.size() + 1) : s);
        return 0;
    });
    return visited;
}

class DirWalker : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* f : {"b.txt", "a.txt", "C.TXT", "notes.md", "Makefile", ".hidden.txt",
                              "sub2/y.txt", "sub1/x.txt", "sub1/deep/z.md", ".git/config.txt"})
            dir.write(f, "x");
        mkfifo(dir.path("fifo.txt").c_str(), 0644);
        symlink("sub2", dir.path("link").c_str());
        symlink("a.txt", dir.path("alias.txt").c_str());
        symlink("missing.txt", dir.path("dangling.txt").c_str());
    }
    TempDir dir;
};

TEST_F(DirWalker, FilesComeMaskByMaskBeforeSubfoldersInByteOrder) {
    // A mask without an extension selects only names without one; hidden and
    // system entries are not reached even when named.
    const std::tuple<std::vector<const char*>, bool, Names> cases[] = {
        {{"*.txt", "*.md", "*.TXT", "*"},
         true,
         {"C.TXT", "a.txt", "alias.txt", "b.txt", "notes.md", "Makefile", "link/y.txt",
          "sub1/x.txt", "sub1/deep/z.md", "sub2/y.txt"}},
        {{"*.md", "*.txt"}, false, {"notes.md", "C.TXT", "a.txt", "alias.txt", "b.txt"}},
        {{"*"}, false, {"Makefile"}},
        {{"*.*"}, false, {"C.TXT", "Makefile", "a.txt", "alias.txt", "b.txt", "notes.md"}},
        {{".hidden.txt", "fifo.txt", "dangling.txt", "config.txt"}, true, {}},
    };
    for (const auto& [masks, withSubfolders, files] : cases)
        EXPECT_EQ(walk(dir.path(), masks, withSubfolders), files) << *masks.begin();
}

TEST_F(DirWalker, NonZeroVisitorResultEndsTheWalk) {
    int visited = 0;
    EXPECT_EQ(walkFolder(dir.path(), {LStr("*.txt")}, true,
                         [&](const LStr& path) {
                             return ++visited, path.view().ends_with("link/y.txt") ? 7 : 0;
                         }),
              7);
    EXPECT_EQ(visited, 5);  // sub1 and sub2 are not reached
}

TEST_F(DirWalker, UnreadableAndCurrentFolders) {
    EXPECT_EQ(walk(dir.path("none"), {"*.*"}), Names{});
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(dir.path("sub1").c_str()), 0);
    Names files = walk("", {"*.*"});  // an empty folder means the current one
    ASSERT_EQ(chdir(old), 0);
    EXPECT_EQ(files, (Names{"x.txt", "deep/z.md"}));
    if (geteuid() == 0) return;  // permissions do not apply to root
    chmod(dir.path("sub1").c_str(), 0);
    EXPECT_EQ(walk(dir.path(), {"x.txt", "y.txt"}), (Names{"link/y.txt", "sub2/y.txt"}));
    chmod(dir.path("sub1").c_str(), 0755);
}

TEST(DirWalkerNames, JapaneseNamesAreShiftJisPathsInByteOrder) {
    TempDir dir;
    for (const char* n : {"日本.txt", "あ.txt", "z.txt", "寿司🍣.txt"}) dir.write(n, "");
    EXPECT_EQ(walk(dir.path(), {"*.txt"}),
              (Names{"z.txt", "\x82\xa0.txt", "\x8e\xf5\x8e\x69{%uD83C}{%uDF63}.txt",
                     "\x93\xfa\x96\x7b.txt"}));
}

TEST(DirWalkerLinks, CyclesAreNotEnteredButOtherLinksAre) {
    TempDir dir;
    for (const char* f : {"top.txt", "a/mid.txt", "a/b/deep.txt", "other/o.txt"}) dir.write(f, "");
    symlink("..", dir.path("a/b/up").c_str());       // back to a
    symlink("../..", dir.path("a/b/root").c_str());  // back to the top
    symlink(dir.path("a").c_str(), dir.path("a/self").c_str());
    symlink("../../other", dir.path("a/b/side").c_str());  // not a cycle: walked
    EXPECT_EQ(walk(dir.path(), {"*.txt"}),
              (Names{"top.txt", "a/mid.txt", "a/b/deep.txt", "a/b/side/o.txt", "other/o.txt"}));
}

}  // namespace
