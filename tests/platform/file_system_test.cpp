// The file-system layer against a real temporary folder: kinds, sizes and
// times, folder reading with links, FIFOs and Japanese names, and the user's
// folders from the environment.
#include "platform/file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <string>

#include "common/temp_dir.h"
#include "platform/path_encoding.h"
#include "support/scoped_env.h"

namespace {

// 2020-01-02 03:04:05.1234567 UTC in file-time units.
constexpr int64_t kUnixSeconds = 1577934245;
constexpr uint64_t kFileTime = (uint64_t(kUnixSeconds) + 11644473600ull) * 10000000 + 1234567;

void setWriteTime(const std::string& path) {
    struct timespec times[2] = {{kUnixSeconds, 123456789}, {kUnixSeconds, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

TEST(FileSystem, FileTimesCountFrom1601) {
    EXPECT_EQ(fsFileTimeFromUnix(0, 0), 116444736000000000ull);
    EXPECT_EQ(fsFileTimeFromUnix(kUnixSeconds, 123456789), kFileTime);
    EXPECT_EQ(fsFileTimeFromUnix(-11644473601, 0), 0u);  // before 1601
}

TEST(FileSystem, PathKindsFollowLinks) {
    TempDir dir;
    dir.write("file.txt", "abc");
    mkdir(dir.path("sub").c_str(), 0755);
    mkfifo(dir.path("fifo").c_str(), 0644);
    symlink("sub", dir.path("link-to-sub").c_str());
    symlink("file.txt", dir.path("link-to-file").c_str());
    symlink("missing", dir.path("dangling").c_str());
    const std::pair<const char*, FsPathKind> cases[] = {
        {"file.txt", kPathFile},      {"sub", kPathFolder},        {"fifo", kPathOther},
        {"link-to-sub", kPathFolder}, {"link-to-file", kPathFile}, {"dangling", kPathNone},
        {"nothing", kPathNone},
    };
    for (const auto& [name, kind] : cases) EXPECT_EQ(fsPathKind(dir.path(name)), kind) << name;
    EXPECT_EQ(fsPathKind(""), kPathNone);
}

TEST(FileSystem, OpenedFileInfoGivesSizeAndTime) {
    TempDir dir;
    std::string path = dir.write("data.bin", std::string(1000, 'x'));
    setWriteTime(path);
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

TEST(FileSystem, UnreadableFileCannotBeOpened) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not apply to root";
    TempDir dir;
    std::string path = dir.write("secret", "x");
    chmod(path.c_str(), 0);
    int64_t size = 0;
    uint64_t time = 0;
    EXPECT_FALSE(fsOpenedFileInfo(path, size, time));
    EXPECT_TRUE(fsWriteTime(path, time));  // the time needs no read access
}

TEST(FileSystem, LocalCalendarFollowsTimeZone) {
    struct Case {
        const char* tz;
        FsCalendar expected;
    } cases[] = {
        {"UTC0", {2020, 1, 2, 3, 4, 5}},
        {"JST-9", {2020, 1, 2, 12, 4, 5}},
        {"EST5", {2020, 1, 1, 22, 4, 5}},
    };
    for (const auto& c : cases) {
        ScopedEnv tz("TZ", c.tz);
        FsCalendar got;
        ASSERT_TRUE(fsLocalCalendar(kFileTime, got));
        EXPECT_EQ(std::tie(got.year, got.month, got.day, got.hour, got.minute, got.second),
                  std::tie(c.expected.year, c.expected.month, c.expected.day, c.expected.hour,
                           c.expected.minute, c.expected.second))
            << c.tz;
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

TEST(FileSystem, FolderReaderReportsKindsAndHiddenNames) {
    TempDir dir;
    dir.write("plain.txt", "12345");
    dir.write(".hidden", "");
    dir.write("sub/inner.txt", "");
    mkdir(dir.path(".git").c_str(), 0755);
    mkfifo(dir.path("fifo").c_str(), 0644);
    symlink("sub", dir.path("link").c_str());
    symlink("missing", dir.path("dangling").c_str());
    struct Expect {
        const char* name;
        FsEntryKind kind;
        bool hidden;
    } expected[] = {
        {"plain.txt", FsEntryKind::kFile, false}, {".hidden", FsEntryKind::kFile, true},
        {"sub", FsEntryKind::kFolder, false},     {".git", FsEntryKind::kFolder, true},
        {"fifo", FsEntryKind::kOther, false},     {"link", FsEntryKind::kFolder, false},
        {"dangling", FsEntryKind::kOther, false},
    };
    for (auto detail : {FsDirReader::kKindOnly, FsDirReader::kDetails}) {
        auto entries = readAll(dir.path(), detail);
        ASSERT_EQ(entries.size(), std::size(expected)) << "no '.' or '..' expected";
        for (const auto& e : expected) {
            ASSERT_TRUE(entries.count(e.name)) << e.name;
            EXPECT_EQ(entries[e.name].kind, e.kind) << e.name << " detail " << detail;
            EXPECT_EQ(entries[e.name].hidden, e.hidden) << e.name;
        }
    }
    auto detailed = readAll(dir.path(), FsDirReader::kDetails);
    EXPECT_EQ(detailed["plain.txt"].size, 5);
    FsIdentity sub, viaLink;
    ASSERT_TRUE(fsIdentity(dir.path("sub"), sub));
    EXPECT_EQ(detailed["link"].identity, sub);
    FsDirReader reader(dir.path("link"));
    ASSERT_TRUE(fsIdentity(dir.path("link"), viaLink));
    EXPECT_EQ(reader.identity(), sub);
    EXPECT_EQ(viaLink, sub);
}

TEST(FileSystem, JapaneseNamesComeBackInShiftJis) {
    TempDir dir;
    const std::string names[] = {"日本語.txt", "表示①.txt", "寿司🍣.txt", "a¥b.txt"};
    for (const auto& n : names) dir.write(n, n);
    auto entries = readAll(dir.path(), FsDirReader::kKindOnly);
    ASSERT_EQ(entries.size(), std::size(names));
    for (const auto& n : names) {
        LStr sjis = fromSystemPath(n);
        ASSERT_TRUE(entries.count(std::string(sjis.view()))) << n;
        // The Shift-JIS path reaches the same file.
        LStr full(dir.path());
        full.append("/").append(sjis.view());
        int64_t size = 0;
        uint64_t time = 0;
        ASSERT_TRUE(fsOpenedFileInfo(full, size, time)) << n;
        EXPECT_EQ(size, int64_t(n.size()));
    }
}

TEST(FileSystem, MissingOrUnreadableFolderDoesNotOpen) {
    FsDirReader missing("/nonexistent-folder-of-quillfind");
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.openError(), ENOENT);
    FsDirEntry entry;
    EXPECT_FALSE(missing.next(entry));
    if (geteuid() == 0) return;  // permissions do not apply to root
    TempDir dir;
    dir.write("locked/a.txt", "");
    chmod(dir.path("locked").c_str(), 0);
    FsDirReader reader(dir.path("locked"));
    EXPECT_EQ(reader.openError(), EACCES);
    chmod(dir.path("locked").c_str(), 0755);
}

TEST(FileSystem, UserFoldersFollowXdgAndHome) {
    ScopedEnv home("HOME", "/home/tester/");
    {
        ScopedEnv config("XDG_CONFIG_HOME", nullptr), cache("XDG_CACHE_HOME", "");
        EXPECT_EQ(fsHomeFolder().view(), "/home/tester");
        EXPECT_EQ(fsUserConfigFolder().view(), "/home/tester/.config");
        EXPECT_EQ(fsUserCacheFolder().view(), "/home/tester/.cache");
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/xdg/conf/"), cache("XDG_CACHE_HOME", "relative");
        EXPECT_EQ(fsUserConfigFolder().view(), "/xdg/conf");
        EXPECT_EQ(fsUserCacheFolder().view(), "/home/tester/.cache");  // relative: ignored
    }
}

}  // namespace
