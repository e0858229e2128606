// Searching several files at once: whatever the number of threads, qf writes
// the same bytes as one thread, with every file's lines, messages and count
// line in folder-walk order.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "common/child_process.h"
#include "e2e/search_fixture.h"

namespace {

using namespace e2e;

// Files of very different sizes, so that threads finish out of walk order;
// hits in most, one file the search may not read, one binary-looking file,
// one UTF-16 file that is converted, folders nested three deep.
void writeTree(const TempDir& dir) {
    const std::string hitLine = sj("東京のカーネル\r\n"), other = sj("大阪のドライバ\r\n");
    for (int i = 0; i < 30; ++i) {
        const std::string folder = i % 3 == 0 ? "" : i % 3 == 1 ? "a/" : "a/b/c/";
        std::string text = repeated(other, (i * 37) % 11 == 0 ? 20000 : i % 5);
        if (i % 4 != 3) text += repeated(hitLine, 1 + i % 3);
        dir.write(folder + "f" + std::to_string(i) + ".txt", text);
    }
    dir.write("a/binary.txt", std::string("\0\x01\x02", 3) + hitLine + std::string(200, '\0'));
    dir.write("a/b/wide.txt", std::string("\xFF\xFE\x71\x67\xAC\x4E\x0D\x00\x0A\x00", 10));
    const std::string locked = dir.write("a/b/locked.txt", hitLine);
    ::chmod(locked.c_str(), 0);
    for (const std::string& open : {dir.path(), dir.path("a"), dir.path("a/b")})
        ::chmod(open.c_str(), 0777);
}

// qf over the tree with the threads option, the index (when any) in ixDir,
// as a user the locked file keeps out; its error output, then its output.
std::string runOver(const TempDir& dir, const std::string& threads,
                    const std::vector<std::string>& search, const std::string& ixDir) {
    std::vector<std::string> args{"--raw", "--no-config",    "-q", "-r", "--threads=" + threads,
                                  "--set", "ixfDir=" + ixDir};
    args.insert(args.end(), search.begin(), search.end());
    args.push_back(dir.path());
    return runInChild(
               [&] {
                   QfResult r = runQf(args, {"XDG_CACHE_HOME=" + ixDir});
                   return r.err + "\n--\n" + r.out;
               },
               ChildUser::Unprivileged)
        .output;
}

// The index files under a folder (path below it -> inode): a file written
// again gets a new inode, since it replaces the old one.
std::map<std::string, ino_t> indexFiles(const std::string& folder) {
    std::map<std::string, ino_t> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        if (e.path().extension() != ".qfd") continue;
        struct stat st {};
        ::stat(e.path().c_str(), &st);
        files[e.path().lexically_relative(folder).string()] = st.st_ino;
    }
    return files;
}

std::string openFolder(const TempDir& dir, const std::string& name) {
    ::chmod(dir.path().c_str(), 0777);
    std::filesystem::create_directories(dir.path(name));
    ::chmod(dir.path(name).c_str(), 0777);
    return dir.path(name);
}

// Plain searches, searches through the index, fuzzy ones and lines sorted by
// rate: four threads write what one thread writes, again and again. With the
// index, the run that builds the index files (one per folder) and the run
// that reuses them do, and the threads write the same index files, complete:
// a second run has nothing to rebuild.
TEST(ParallelSearch, OutputIsTheSameForAnyNumberOfThreads) {
    TempDir dir, ix;
    writeTree(dir);
    const std::vector<std::vector<std::string>> searches = {
        {"東京"},
        {"--type=regex", "カーネル|ドライバ$"},
        {"--count", "東京"},
        {"--index", "東京"},
        {"--index", "--type=regex", "カーネル|ドライバ$"},
        {"--index", "--count", "東京"},
        {"--type=fuzzy", "東京のカーネル"},
        {"--type=fuzzy", "--sort-by-rate", "--min-rate=60", "大阪のカーネル"},
        {"--type=fuzzy", "--sort-by-rate", "--count", "東京のカーネル"},
    };
    int n = 0;
    for (const std::vector<std::string>& search : searches) {
        SCOPED_TRACE(search.back());
        const std::string one = openFolder(ix, "one" + std::to_string(n)),
                          four = openFolder(ix, "four" + std::to_string(n++));
        const std::string built = runOver(dir, "1", search, one);
        // The unreadable file is told of; the last file of the walk is shown.
        EXPECT_NE(built.find("locked.txt"), std::string::npos) << built;
        EXPECT_NE(built.find("f29.txt"), std::string::npos) << built;
        EXPECT_EQ(runOver(dir, "4", search, four), built);
        const auto written = indexFiles(four);
        EXPECT_GE(written.size(), search[0] == "--index" ? 4u : 0u);
        EXPECT_EQ(written.size(), indexFiles(one).size());
        // Reusing the index of either run.
        EXPECT_EQ(runOver(dir, "4", search, four), built);
        EXPECT_EQ(runOver(dir, "1", search, four), built);
        EXPECT_EQ(runOver(dir, "4", search, one), built);
        EXPECT_EQ(indexFiles(four), written);
    }
}

// A damaged index file is told of where one thread tells it, before the
// lines of its folder's first file, and written anew once.
TEST(ParallelSearch, DamagedIndexFileIsToldOfInWalkOrder) {
    TempDir dir, ix;
    writeTree(dir);
    const std::vector<std::string> search{"--index", "東京"};
    const std::string one = openFolder(ix, "one"), four = openFolder(ix, "four");
    const std::string built = runOver(dir, "1", search, one);
    std::filesystem::copy(one, four,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    for (const std::string& folder : {one, four}) {
        for (const auto& [file, inode] : indexFiles(folder)) {
            // Cut short: every other folder's index file.
            if (file.find("/a.qfd") == std::string::npos) continue;
            const std::filesystem::path path = std::filesystem::path(folder) / file;
            std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
        }
        for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
            ::chmod(e.path().c_str(), 0777);
    }
    const std::string told = runOver(dir, "1", search, one);
    EXPECT_NE(told, built);
    EXPECT_NE(told.find(".qfd"), std::string::npos) << told;
    // The message names the index file, in the other index folder.
    std::string threaded = runOver(dir, "4", search, four);
    const size_t at = threaded.find(four);
    ASSERT_NE(at, std::string::npos) << threaded;
    EXPECT_EQ(threaded.replace(at, four.size(), one), told);
    EXPECT_EQ(runOver(dir, "4", search, four), built);
}

}  // namespace
