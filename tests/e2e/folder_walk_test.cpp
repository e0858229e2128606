// qf --raw end to end: folders named twice, how the paths of the files a
// search reaches are shown, and files and folders that cannot be searched.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/child_process.h"
#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

class FolderWalk : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"b.txt", "a.txt", "Z.txt", "sub/d.txt", "sub/deeper/e.txt"})
            dir.write(name, "abc\n");
    }
    // The result line of a one-line fixture file.
    static std::string lineOf(std::string_view position) {
        return resultLine(std::string(position) + "(1)", hit("abc") + "\n");
    }
    TempDir dir;
};

TEST_F(FolderWalk, FileReachedTwiceIsSearchedOnce) {
    QfResult r = search({"-r", "--files=*.txt", "abc", dir.path(), dir.path("sub")});
    EXPECT_TRUE(r.out.ends_with(summary(5, 5, 5))) << r.out;
    r = search({"--files=*.txt", "abc", dir.path(), dir.path() + "/"});
    EXPECT_TRUE(r.out.ends_with(summary(3, 3, 3))) << r.out;
}

TEST_F(FolderWalk, SiblingFoldersShowPathsBelowTheirCommonFolder) {
    QfResult r = search({"abc", dir.path("sub"), dir.path("sub/deeper")});
    EXPECT_EQ(r.out, page(dir.path("sub"), "abc", lineOf("d.txt") + lineOf("deeper/e.txt"),
                          summary(2, 2, 2)));

    r = search({"--set", "dspAlwaysFullPath=1", "abc", dir.path("sub")});
    EXPECT_EQ(r.out, stringLine("abc") + lineOf(dir.path("sub/d.txt")) + summary(1, 1, 1));
}

TEST_F(FolderWalk, UnreadableFileIsReportedOnceAndCountsAsSearched) {
    // Permissions bind qf only as a user other than root.
    TempDir cache;
    for (const std::string& open : {dir.path(), cache.path()}) ::chmod(open.c_str(), 0777);
    const std::string locked = dir.write("sub/locked.txt", "abc\n"), sub = dir.path("sub");
    ::chmod(locked.c_str(), 0);
    for (const char* strategy : {"--ignore-case", "--index"}) {
        const ChildOutcome child = runInChild(
            [&] {
                QfResult r = runQf({"--raw", "--no-config", "-q", strategy, "abc", sub},
                                   {"XDG_CACHE_HOME=" + cache.path()});
                return r.err + r.out;
            },
            ChildUser::Unprivileged);
        EXPECT_EQ(child.output, "qf: #37000: " + locked + " を開けません: Permission denied\n" +
                                    page(sub, "abc", lineOf("d.txt"), summary(1, 1, 2)))
            << strategy;
    }
}

}  // namespace
