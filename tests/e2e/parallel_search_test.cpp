// Searching several files at once: whatever the number of threads, qf writes
// the same bytes as one thread, with every file's lines, messages and count
// line in folder-walk order.
#include <gtest/gtest.h>
#include <sys/stat.h>

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

TEST(ParallelSearch, OutputIsTheSameForAnyNumberOfThreads) {
    TempDir dir, cache;
    ::chmod(cache.path().c_str(), 0777);
    writeTree(dir);
    const std::vector<std::vector<std::string>> searches = {
        {"東京"},
        {"--type=regex", "カーネル|ドライバ$"},
        {"--count", "東京"},
    };
    for (const std::vector<std::string>& search : searches) {
        const auto runWith = [&](const char* threads) {
            std::vector<std::string> args{"--raw", "--no-config", "-q", "-r", threads};
            args.insert(args.end(), search.begin(), search.end());
            args.push_back(dir.path());
            return runInChild(
                [&] {
                    QfResult r = runQf(args, {"XDG_CACHE_HOME=" + cache.path()});
                    return r.err + "\n--\n" + r.out;
                },
                ChildUser::Unprivileged);
        };
        const std::string one = runWith("--threads=1").output;
        // The unreadable file is told of; the last file of the walk is shown.
        EXPECT_NE(one.find("locked.txt"), std::string::npos) << one;
        EXPECT_NE(one.find("f29.txt"), std::string::npos) << one;
        for (int round = 0; round < 3; ++round)
            EXPECT_EQ(runWith("--threads=4").output, one) << search.back();
    }
}

}  // namespace
