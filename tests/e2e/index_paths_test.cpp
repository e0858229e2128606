// The index knows a file by its absolute path, whatever folder the user
// typed and wherever qf runs; the clean-up judges index data likewise.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

class IndexPaths : public ::testing::Test {
protected:
    // qf --raw in the working folder cwd, with the test's index folder.
    QfResult runIn(const std::string& cwd, std::vector<std::string> args) const {
        args.insert(args.begin(),
                    {"--raw", "--no-config", "--quiet", "--set", "ixfDir=" + ix.path("ix")});
        return runQf(args, {"XDG_CACHE_HOME=" + cacheHome().path()}, cwd);
    }
    std::set<std::string> indexFiles() const {
        std::set<std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(ix.path("ix")))
            if (e.path().extension() == ".qfd") files.insert(e.path().string());
        return files;
    }
    // The index file a folder's files are kept in.
    std::string indexFileOf(const std::string& folder) const {
        return ix.path("ix/x_") + fs::canonical(folder).string() + ".qfd";
    }

    TempDir work;  // the working folders and their data
    TempDir ix;
};

TEST_F(IndexPaths, CleanUpFromAnotherWorkingFolderKeepsCurrentData) {
    work.write("one/dd/f.txt", "alpha\n");
    ASSERT_EQ(runIn(work.path("one"), {"--index", "alpha", "dd"}).exitCode, 0);
    fs::create_directories(work.path("elsewhere"));

    QfResult r = runIn(work.path("elsewhere"), {"--delete-old-index"});
    EXPECT_EQ(r.out, sj("0/1 個の索引ファイルを削除しました\n"));
    EXPECT_EQ(indexFiles(), std::set<std::string>{indexFileOf(work.path("one/dd"))});
}

TEST_F(IndexPaths, DottedFolderArgumentsNameTheFolderItself) {
    const std::string dd = work.path("one/dd");
    work.write("one/dd/f.txt", "alpha\n");
    fs::create_directories(dd + "/sub");
    struct Case {
        std::string cwd, folder;
    } cases[] = {{dd, "."}, {dd + "/sub", ".."}, {dd, "./"}, {work.path("one"), ".//dd/./sub/.."}};
    for (const Case& c : cases) {
        fs::remove_all(ix.path("ix"));
        const QfResult plain = runIn(c.cwd, {"alpha", c.folder});
        const QfResult indexed = runIn(c.cwd, {"--index", "alpha", c.folder});
        EXPECT_EQ(plain.exitCode, 0) << c.folder;
        EXPECT_EQ(indexed.out, plain.out) << c.folder;
        EXPECT_EQ(indexFiles(), std::set<std::string>{indexFileOf(dd)}) << c.folder;
    }
}

}  // namespace
