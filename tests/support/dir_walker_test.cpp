// Folder listings in walk order, the extension rule of masks, skipped hidden
// and system entries, and walks that meet symbolic-link cycles.
#include "support/dir_walker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "platform/path_encoding.h"

namespace {

LFileMasks masksOf(std::initializer_list<const char*> list) {
    LFileMasks masks;
    for (const char* m : list) masks.add(m);
    return masks;
}

// Paths relative to base, as plain strings.
template <class Paths>
std::vector<std::string> relative(const Paths& paths, const std::string& base) {
    std::vector<std::string> out;
    for (const auto& p : paths) {
        std::string s{std::string_view(p)};
        out.push_back(s.rfind(base + "/", 0) == 0 ? s.substr(base.size() + 1) : s);
    }
    return out;
}

using Names = std::vector<std::string>;

class DirWalkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* f : {"b.txt", "a.txt", "C.TXT", "notes.md", "Makefile", ".hidden.txt",
                              "sub1/x.txt", "sub2/y.txt", ".git/config.txt"})
            dir.write(f, "x");
        mkfifo(dir.path("fifo.txt").c_str(), 0644);
        symlink("sub1", dir.path("link1").c_str());
        symlink("a.txt", dir.path("alias.txt").c_str());
        symlink("missing.txt", dir.path("dangling.txt").c_str());
    }
    Names list(std::initializer_list<const char*> masks, bool withSubfolders,
               Names* subs = nullptr) {
        LFolderListing listing;
        EXPECT_TRUE(listFolder(dir.path(), masksOf(masks), withSubfolders, listing));
        if (subs) *subs = relative(listing.subfolders, dir.path());
        return relative(listing.files, dir.path());
    }
    TempDir dir;
};

TEST_F(DirWalkerTest, FilesGoMaskByMaskInByteOrderWithoutRepeats) {
    Names subs;
    EXPECT_EQ(list({"*.txt", "*.md", "*.TXT", "*"}, true, &subs),
              (Names{"C.TXT", "a.txt", "alias.txt", "b.txt", "notes.md", "Makefile"}));
    EXPECT_EQ(subs, (Names{"link1", "sub1", "sub2"}));
    EXPECT_EQ(list({"*.md", "*.txt"}, false, &subs),
              (Names{"notes.md", "C.TXT", "a.txt", "alias.txt", "b.txt"}));
    EXPECT_TRUE(subs.empty());
}

TEST_F(DirWalkerTest, MaskWithoutExtensionSelectsNamesWithoutOne) {
    EXPECT_EQ(list({"*"}, false), (Names{"Makefile"}));
    EXPECT_EQ(list({"*.*"}, false),
              (Names{"C.TXT", "Makefile", "a.txt", "alias.txt", "b.txt", "notes.md"}));
    EXPECT_EQ(list({"Make*"}, false), (Names{"Makefile"}));
    EXPECT_EQ(list({"a*"}, false), Names{});  // "a.txt" has an extension, the mask none
}

TEST_F(DirWalkerTest, HiddenAndSystemEntriesAreNeverListed) {
    EXPECT_EQ(list({".hidden.txt", "fifo.txt", "dangling.txt", ".git"}, true), Names{});
}

TEST_F(DirWalkerTest, MissingOrUnreadableFolderGivesEmptyListing) {
    LFolderListing listing;
    listing.files.push_back("stale");
    EXPECT_FALSE(listFolder(dir.path("none"), masksOf({"*.*"}), true, listing));
    EXPECT_TRUE(listing.files.empty());
    if (geteuid() == 0) return;  // permissions do not apply to root
    chmod(dir.path("sub1").c_str(), 0);
    EXPECT_FALSE(listFolder(dir.path("sub1"), masksOf({"*.*"}), true, listing));
    chmod(dir.path("sub1").c_str(), 0755);
}

TEST_F(DirWalkerTest, EmptyFolderMeansTheCurrentOne) {
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(dir.path("sub1").c_str()), 0);
    LFolderListing listing;
    bool ok = listFolder("", masksOf({"*.txt"}), false, listing);
    ASSERT_EQ(chdir(old), 0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(relative(listing.files, ""), (Names{"x.txt"}));
}

TEST(DirWalker, JapaneseNamesAreShiftJisPathsInByteOrder) {
    TempDir dir;
    for (const char* n : {"日本.txt", "あ.txt", "z.txt", "寿司🍣.txt"}) dir.write(n, "");
    LFolderListing listing;
    ASSERT_TRUE(listFolder(dir.path(), masksOf({"*.txt"}), false, listing));
    Names expected;
    for (const char* n :
         {"z.txt", "\x82\xa0.txt", "\x8e\xf5\x8e\x69{%uD83C}{%uDF63}.txt", "\x93\xfa\x96\x7b.txt"})
        expected.push_back(n);
    EXPECT_EQ(relative(listing.files, dir.path()), expected);
    for (const LStr& path : listing.files)
        EXPECT_EQ(access(toSystemPath(path).c_str(), F_OK), 0) << path.view();
}

// The recursion the search run drives, collecting every file it reaches.
Names walkAll(const std::string& root, bool withSubfolders) {
    Names visited;
    LDirWalkState state;
    LFileMasks masks = masksOf({"*.txt"});
    std::function<void(std::string_view)> walk = [&](std::string_view folder) {
        LFolderListing listing;
        if (!listFolder(folder, masks, withSubfolders, listing)) return;
        LDirWalkState::Scope inside(state, listing.identity);
        if (!inside.entered()) return;
        for (const LStr& f : listing.files) visited.push_back(std::string(f.view()));
        for (const LStr& sub : listing.subfolders) walk(sub.view());
    };
    walk(root);
    EXPECT_EQ(state.depth(), 0);
    return relative(visited, root);
}

TEST(DirWalker, LinkCyclesAreNotEntered) {
    TempDir dir;
    dir.write("top.txt", "");
    dir.write("a/mid.txt", "");
    dir.write("a/b/deep.txt", "");
    symlink("..", dir.path("a/b/up").c_str());       // back to a
    symlink("../..", dir.path("a/b/root").c_str());  // back to the top
    symlink(dir.path("a").c_str(), dir.path("a/self").c_str());
    dir.write("other/o.txt", "");
    symlink("../../other", dir.path("a/b/side").c_str());  // not a cycle: walked
    EXPECT_EQ(walkAll(dir.path(), true),
              (Names{"top.txt", "a/mid.txt", "a/b/deep.txt", "a/b/side/o.txt", "other/o.txt"}));
    EXPECT_EQ(walkAll(dir.path(), false), (Names{"top.txt"}));
}

TEST(DirWalker, WalkStateRemembersOnlyTheCurrentPath) {
    LDirWalkState state;
    FsIdentity a{1, 10}, b{1, 11}, otherDevice{2, 10};
    EXPECT_TRUE(state.enter(a));
    EXPECT_TRUE(state.enter(b));
    EXPECT_FALSE(state.enter(a));
    EXPECT_TRUE(state.enter(otherDevice));
    EXPECT_EQ(state.depth(), 3);
    state.leave();
    state.leave();
    EXPECT_TRUE(state.enter(b));  // a sibling visit after leaving is allowed
}

}  // namespace
