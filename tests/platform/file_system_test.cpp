// The file-system layer on a real temporary folder: kinds, sizes and times,
// folder reads with links and FIFOs, and the user's folders.
#include "platform/file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <string>

#include "common/scoped_env.h"
#include "common/temp_dir.h"

namespace {

// 2020-01-02 03:04:05.1234567 UTC in file-time units (100 ns since 1601).
constexpr int64_t kUnixSeconds = 1577934245;
constexpr uint64_t kFileTime = 132224078451234567ull;

TEST(FileSystem, OpenedFileInfoGivesSizeAndTimeOrTheError) {
    TempDir dir;
    std::string path = dir.write("data.bin", std::string(1000, 'x'));
    struct timespec times[2] = {{kUnixSeconds, 123456789}, {kUnixSeconds, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    int64_t size = -1;
    uint64_t time = 0;
    ASSERT_TRUE(fsOpenedFileInfo(path, size, time));
    EXPECT_EQ(size, 1000);
    EXPECT_EQ(time, kFileTime);
    time = 0;
    ASSERT_TRUE(fsWriteTime(path, time));
    EXPECT_EQ(time, kFileTime);
    EXPECT_FALSE(fsOpenedFileInfo(dir.path("missing"), size, time));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(fsOpenedFileInfo(dir.path(""), size, time));  // a folder
    EXPECT_EQ(errno, EISDIR);
    // A FIFO without a writer must not block the caller.
    mkfifo(dir.path("fifo").c_str(), 0644);
    EXPECT_TRUE(fsOpenedFileInfo(dir.path("fifo"), size, time));
}

TEST(FileSystem, LocalCalendarFollowsTimeZone) {
    const std::tuple<const char*, int, int> cases[] = {
        {"UTC0", 2, 3}, {"JST-9", 2, 12}, {"EST5", 1, 22}};
    for (const auto& [tz, day, hour] : cases) {
        ScopedEnv zone("TZ", tz);
        FsCalendar got;
        ASSERT_TRUE(fsLocalCalendar(kFileTime, got));
        EXPECT_EQ(std::tuple(got.year, got.month, got.day, got.hour, got.minute, got.second),
                  std::tuple(2020, 1, day, hour, 4, 5))
            << tz;
    }
}

// Reads a folder into name -> entry.
std::map<std::string, FsDirEntry> readAll(const std::string& folder, FsDirReader::Detail detail) {
    std::map<std::string, FsDirEntry> entries;
    FsDirReader reader(folder, detail);
    EXPECT_TRUE(reader.isOpen()) << folder;
    FsDirEntry entry;
    while (reader.next(entry)) entries[std::string(entry.name.view())] = entry;
    return entries;
}

TEST(FileSystem, KindsFollowLinksInPathsAndFolderReads) {
    TempDir dir;
    dir.write("plain.txt", "12345");
    dir.write(".hidden", "");
    dir.write("sub/inner.txt", "");
    mkdir(dir.path(".git").c_str(), 0755);
    mkfifo(dir.path("fifo").c_str(), 0644);
    symlink("sub", dir.path("link").c_str());
    symlink("missing", dir.path("dangling").c_str());
    using enum FsEntryKind;
    const std::tuple<const char*, FsEntryKind, bool, bool, FsPathKind> expected[] = {
        // name, kind in a folder read, hidden, link, kind of the path
        {"plain.txt", kFile, false, false, kPathFile}, {".hidden", kFile, true, false, kPathFile},
        {"sub", kFolder, false, false, kPathFolder},   {".git", kFolder, true, false, kPathFolder},
        {"fifo", kOther, false, false, kPathOther},    {"link", kFolder, false, true, kPathFolder},
        {"dangling", kOther, false, true, kPathNone},
    };
    EXPECT_EQ(fsPathKind(dir.path("nothing")), kPathNone);
    for (auto detail : {FsDirReader::kKindOnly, FsDirReader::kDetails}) {
        auto entries = readAll(dir.path(), detail);
        ASSERT_EQ(entries.size(), std::size(expected)) << "no '.' or '..' expected";
        for (const auto& [name, kind, hidden, link, pathKind] : expected) {
            ASSERT_TRUE(entries.count(name)) << name;
            EXPECT_EQ(entries[name].kind, kind) << name << " detail " << detail;
            EXPECT_EQ(entries[name].hidden, hidden) << name;
            EXPECT_EQ(entries[name].link, link) << name;
            EXPECT_EQ(fsPathKind(dir.path(name)), pathKind) << name;
        }
    }
    auto detailed = readAll(dir.path(), FsDirReader::kDetails);
    EXPECT_EQ(detailed["plain.txt"].size, 5);
    FsIdentity sub;
    ASSERT_TRUE(fsIdentity(dir.path("sub"), sub));
    EXPECT_EQ(detailed["link"].identity, sub);
    EXPECT_EQ(FsDirReader(dir.path("link")).identity(), sub);
}

TEST(FileSystem, KernelTreesAreKnownByDeviceAndResolvedPath) {
    TempDir dir;
    mkdir(dir.path("proc").c_str(), 0755);  // a name alone makes no kernel tree
    symlink("/proc/self", dir.path("self").c_str());
    EXPECT_TRUE(fsResolvesIntoKernelTree(dir.path("self")));
    EXPECT_FALSE(fsResolvesIntoKernelTree(dir.path("proc")));
    FsIdentity proc, own;
    ASSERT_TRUE(fsIdentity("/proc", proc) && fsIdentity(dir.path("proc"), own));
    EXPECT_TRUE(fsOnKernelDevice(proc));
    EXPECT_FALSE(fsOnKernelDevice(own));
}

TEST(FileSystem, UserFoldersFollowXdgAndHome) {
    ScopedEnv home("HOME", "/home/tester/"), config("XDG_CONFIG_HOME", nullptr);
    {
        ScopedEnv cache("XDG_CACHE_HOME", "");
        EXPECT_EQ(fsUserConfigFolder().view(), "/home/tester/.config");
        EXPECT_EQ(fsUserCacheFolder().view(), "/home/tester/.cache");
    }
    ScopedEnv conf("XDG_CONFIG_HOME", "/xdg/conf/"), cache("XDG_CACHE_HOME", "relative");
    EXPECT_EQ(fsUserConfigFolder().view(), "/xdg/conf");
    EXPECT_EQ(fsUserCacheFolder().view(), "/home/tester/.cache");  // relative: ignored
}

}  // namespace
