// The folder walk: files mask by mask in byte order before subfolders, skipped
// hidden and system entries, each folder and file once however links lead
// to it, the stop flag, the kernel's trees, and the warnings for what it
// cannot read.
#include "support/dir_walker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/capture_sink.h"
#include "common/child_process.h"
#include "common/temp_dir.h"
#include "support/run_context.h"

namespace {

using Names = std::vector<std::string>;

std::string relative(const std::string& root, std::string s) {
    if (root.empty()) return s;
    for (size_t at; (at = s.find(root + "/")) != std::string::npos;) s.erase(at, root.size() + 1);
    return s;
}

// The files a walk visits, relative to root.
Names walk(const std::string& root, const std::vector<const char*>& masks,
           bool withSubfolders = true) {
    std::vector<LStr> maskList(masks.begin(), masks.end());
    Names visited;
    walkFolder(root, maskList, withSubfolders, [&](const LStr& path) {
        visited.push_back(relative(root, std::string(path.view())));
        return 0;
    });
    return visited;
}

// The visited files, then the messages, each on a line, relative to root.
std::string walkWithMessages(const std::string& root, std::initializer_list<const char*> masks) {
    CaptureSink sink;
    std::string out;
    for (const auto& name : walk(root, masks)) out += name + "\n";
    for (const auto& text : numberedTexts(sink)) out += relative(root, text) + "\n";
    return out;
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
    CaptureSink quiet;  // fifo.txt is reported
};

TEST_F(DirWalker, FilesComeMaskByMaskBeforeSubfoldersInByteOrder) {
    // A mask without an extension selects only names without one; hidden and
    // system entries are not reached even when named. alias.txt is a.txt,
    // and sub2 was walked as link.
    const std::tuple<std::vector<const char*>, bool, Names> cases[] = {
        {{"*.txt", "*.md", "*.TXT", "*"},
         true,
         {"C.TXT", "a.txt", "b.txt", "notes.md", "Makefile", "link/y.txt", "sub1/x.txt",
          "sub1/deep/z.md"}},
        {{"*.md", "*.txt"}, false, {"notes.md", "C.TXT", "a.txt", "b.txt"}},
        {{"*"}, false, {"Makefile"}},
        {{"*.*"}, false, {"C.TXT", "Makefile", "a.txt", "b.txt", "notes.md"}},
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
    EXPECT_EQ(visited, 4);  // sub1 is not reached
}

TEST_F(DirWalker, StopFlagEndsAWalkThatFindsNothing) {
    auto context = std::make_shared<RunContext>();
    RunContextScope scope(context);
    context->requestStop();
    int visited = 0;
    for (const char* mask : {"*.none", "*.txt"})
        EXPECT_EQ(
            walkFolder(dir.path(), {LStr(mask)}, true, [&](const LStr&) { return ++visited; }),
            kWalkStopped)
            << mask;
    EXPECT_EQ(visited, 0);
}

TEST_F(DirWalker, SelectedSpecialFilesAndUnreadableFoldersAreReported) {
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(chmod(dir.path("sub1").c_str(), 0), 0);
    // Permissions bind only a user other than root.
    const ChildOutcome child = runInChild(
        [&] {
            return walkWithMessages(dir.path(), {"x.txt", "y.txt", "fifo.txt"});
        },
        ChildUser::Unprivileged);
    chmod(dir.path("sub1").c_str(), 0755);
    EXPECT_EQ(child.exitCode, 0);
    EXPECT_EQ(child.output,
              "link/y.txt\n"
              "35000 fifo.txt is not a regular file; not searched\n"
              "37000 cannot read folder sub1: Permission denied\n");
}

TEST_F(DirWalker, CurrentFolderAndMissingFolder) {
    CaptureSink sink;
    EXPECT_EQ(walk(dir.path("none"), {"*.*"}), Names{});
    EXPECT_EQ(texts(sink), Texts{}) << "a missing folder is the caller's to report";
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(dir.path("sub1").c_str()), 0);
    Names files = walk("", {"*.*"});  // an empty folder means the current one
    ASSERT_EQ(chdir(old), 0);
    EXPECT_EQ(files, (Names{"x.txt", "deep/z.md"}));
}

TEST(DirWalkerNames, JapaneseNamesAreShiftJisPathsInByteOrder) {
    TempDir dir;
    for (const char* n : {"日本.txt", "あ.txt", "z.txt", "寿司🍣.txt"}) dir.write(n, "");
    EXPECT_EQ(walk(dir.path(), {"*.txt"}),
              (Names{"z.txt", "\x82\xa0.txt", "\x8e\xf5\x8e\x69{%uD83C}{%uDF63}.txt",
                     "\x93\xfa\x96\x7b.txt"}));
}

TEST(DirWalkerLinks, EachFolderAndFileOnceUnderItsFirstPath) {
    TempDir dir;
    for (const char* f : {"top.txt", "a/mid.txt", "a/b/deep.txt", "other/o.txt"}) dir.write(f, "");
    symlink("..", dir.path("a/b/up").c_str());       // back to a
    symlink("../..", dir.path("a/b/root").c_str());  // back to the top
    symlink(dir.path("a").c_str(), dir.path("a/self").c_str());
    symlink("../../other", dir.path("a/b/side").c_str());  // met here first
    link(dir.path("top.txt").c_str(), dir.path("other/hard.txt").c_str());
    EXPECT_EQ(walk(dir.path(), {"*.txt"}),
              (Names{"top.txt", "a/mid.txt", "a/b/deep.txt", "a/b/side/o.txt"}));
}

TEST(DirWalkerLinks, KernelTreesAreEnteredOnlyWhenNamed) {
    TempDir dir;
    dir.write("own.txt", "");
    for (const char* target : {"/proc", "/sys", "/dev", "/dev/shm", "/proc/self"})
        symlink(target, dir.path(std::string("to") + (strrchr(target, '/') + 1)).c_str());
    Names outside;
    walkFolder(dir.path(), {LStr("*.*")}, true, [&](const LStr& path) {
        outside.push_back(std::string(path.view()));
        return outside.size() > 1 ? 1 : 0;  // a walk that strays ends at once
    });
    EXPECT_EQ(outside, Names{dir.path("own.txt")});
    EXPECT_EQ(walk("/proc/self", {"status"}, false), Names{"status"});
}

}  // namespace

// A visitor may take the size and write time of the file it visits, once,
// as they are when the visit begins (a file changed by an earlier visit
// shows its change), and of no other path.
TEST(DirWalkerFacts, TheVisitedFileAloneTellsItsSizeOnce) {
    TempDir dir;
    dir.write("a.txt", "12345");
    dir.write("b.txt", "1");
    dir.write("c.txt", "123");
    ASSERT_EQ(symlink("a.txt", dir.path("d.txt").c_str()), 0);  // a.txt again: not visited
    std::string seen;
    int64_t size = 0;
    uint64_t writeTime = 0;
    walkFolder(dir.path(), {LStr("*.txt")}, false, [&](const LStr& path) {
        const std::string name(path.view().substr(path.view().rfind('/') + 1));
        const std::string other = dir.path(name == "a.txt" ? "c.txt" : "a.txt");
        EXPECT_FALSE(takeVisitedFileInfo(other, size, writeTime)) << name;
        EXPECT_TRUE(takeVisitedFileInfo(path.view(), size, writeTime)) << name;
        EXPECT_GT(writeTime, 0u) << name;
        seen += name + "=" + std::to_string(size) + " ";
        EXPECT_FALSE(takeVisitedFileInfo(path.view(), size, writeTime)) << name;
        if (name == "a.txt") dir.write("b.txt", "1234567");
        return 0;
    });
    EXPECT_EQ(seen, "a.txt=5 b.txt=7 c.txt=3 ");
    EXPECT_FALSE(takeVisitedFileInfo(dir.path("c.txt"), size, writeTime));
}
