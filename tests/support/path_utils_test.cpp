// Path splitting over Shift-JIS bytes and the file helpers on a temporary
// folder: sizes and times, folder chains, removing emptied folders.
#include "support/path_utils.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "support/scoped_env.h"
#include "support/sink_texts.h"

namespace {

struct SplitCase {
    std::string path;
    int32_t sepPos, nameStart, extDot, extStart;
    const char* dir0;  // dirPart(path, false)
    const char* dir1;  // dirPart(path, true)
    std::string name;
    std::string ext;
};

TEST(PathUtils, SplitPathTable) {
    const SplitCase cases[] = {
        {"/dir/name.tar.gz", 4, 5, 13, 14, "/dir", "/dir/", "name.tar.gz", "gz"},
        {"dir/.profile", 3, 4, 4, 12, "dir", "dir/", ".profile", ""},
        {"a//b.txt", 1, 3, 4, 5, "a", "a//", "b.txt", "txt"},
        {"/file", 0, 1, 1, 5, "/", "/", "file", ""},
        {"file", 0, 0, 0, 4, "", "", "file", ""},
        {"name.txt", 0, 0, 4, 5, "", "", "name.txt", "txt"},
        {"a.b/c", 3, 4, 4, 5, "a.b", "a.b/", "c", ""},
        {"dir/", 3, 4, 4, 4, "dir", "dir/", "", ""},
        {"x.", 0, 0, 1, 2, "", "", "x.", ""},
        {"d/a..b", 1, 2, 4, 5, "d", "d/", "a..b", "b"},
        // A backslash is an ordinary byte of a name.
        {"a\\b.txt", 0, 0, 3, 4, "", "", "a\\b.txt", "txt"},
        // "表" is 0x95 0x5C; its trail byte never separates anything.
        {"\x95\x5c/\x95\x5c.txt", 2, 3, 5, 6, "\x95\x5c", "\x95\x5c/", "\x95\x5c.txt", "txt"},
        // A lead byte without a valid trail byte does not swallow the "/".
        {"\x95/x", 1, 2, 2, 3, "\x95", "\x95/", "x", ""},
        {"", 0, 0, 0, 0, "", "", "", ""},
    };
    for (const auto& c : cases) {
        LPathParts p = splitPath(c.path);
        EXPECT_EQ(p.sepPos, c.sepPos) << c.path;
        EXPECT_EQ(p.nameStart, c.nameStart) << c.path;
        EXPECT_EQ(p.extDot, c.extDot) << c.path;
        EXPECT_EQ(p.extStart, c.extStart) << c.path;
        EXPECT_EQ(dirPart(c.path, false).view(), c.dir0) << c.path;
        EXPECT_EQ(dirPart(c.path, true).view(), c.dir1) << c.path;
        EXPECT_EQ(namePart(c.path).view(), c.name) << c.path;
        EXPECT_EQ(extPart(c.path).view(), c.ext) << c.path;
    }
}

TEST(PathUtils, AppendSeparatorAndTextTests) {
    const std::pair<const char*, const char*> appends[] = {
        {"", ""}, {"dir/", "dir/"}, {"dir", "dir/"}, {"a\\", "a\\/"}, {"\x95\x5c", "\x95\x5c/"},
    };
    for (const auto& [in, out] : appends) {
        LStr s(in);
        appendSeparator(s);
        EXPECT_EQ(s.view(), out) << in;
    }
    const std::pair<const char*, bool> masks[] = {
        {"*.txt", true}, {"a?c", true},    {"/tmp/*.txt", false},
        {"-x*", false},  {"plain", false}, {"", false},
    };
    for (const auto& [text, isMask] : masks) EXPECT_EQ(isWildcardMask(text), isMask) << text;
    const std::pair<const char*, bool> absolutes[] = {
        {"/a", true}, {"a/b", false}, {"", false}, {"\\a", false}, {"C:\\a", false},
    };
    for (const auto& [text, absolute] : absolutes)
        EXPECT_EQ(isAbsolutePath(text), absolute) << text;
}

TEST(PathUtils, ResolvePathByTheTextAlone) {
    struct Case {
        const char *base, *path, *resolved;
    } cases[] = {
        {"/w", "docs/sub", "/w/docs/sub"},
        {"/w/", "/abs//x/./y/", "/abs/x/y"},  // an absolute path ignores the base
        {"/w/a", "../b", "/w/b"},
        {"/w", "../../../x", "/x"},  // ".." stops at the root
        {"/w", ".", "/w"},
        {"/w", "", "/w"},
        {"/", "..", "/"},
        {"/w", "a/../../..", "/"},
        {"/w", "C:\\docs", "/w/C:\\docs"},  // no drive letters here
        // "/" after a lead byte is still a separator; a trail 0x5C is a byte of the name.
        {"/w", "\x95\x5c/./x", "/w/\x95\x5c/x"},
        // Without a known base a relative path stays relative.
        {"", "./a//b/..", "a"},
        {"", "../a/../../b", "../../b"},
        {"", "a/..", "."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resolvePath(c.base, c.path).view(), c.resolved) << c.base << " " << c.path;
}

TEST(PathUtils, AbsolutePathTakesTheWorkingFolder) {
    TempDir dir;
    std::filesystem::create_directories(dir.path("a/b"));
    const std::string real = std::filesystem::canonical(dir.path("a/b")).string();
    const std::string old = std::filesystem::current_path().string();
    std::filesystem::current_path(real);
    const LStr relative = absolutePath("../c/./d");
    const LStr absolute = absolutePath("/x/../y");
    std::filesystem::current_path(old);
    EXPECT_EQ(relative.view(), real.substr(0, real.size() - 2) + "/c/d");
    EXPECT_EQ(absolute.view(), "/y");
}

TEST(PathUtils, CompareFileTimesUsesTheWholeValue) {
    struct Case {
        uint64_t a, b;
        int sign;
    } cases[] = {
        {1, 2, -1},
        {2, 1, 1},
        {5, 5, 0},
        {0x100000000ull, 0xFFFFFFFFull, 1},
        {0x1FFFFFFFFull, 0x200000000ull, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(compareFileTimes(c.a, c.b), c.sign) << c.a << " " << c.b;
}

TEST(PathUtils, SizeKindAndDateOfFiles) {
    TempDir dir;
    std::string file = dir.write("f.txt", "abc");
    EXPECT_EQ(pathKind(file), 1);
    EXPECT_EQ(pathKind(dir.path()), 2);
    EXPECT_EQ(pathKind(dir.path("none")), 0);
    EXPECT_EQ(fileSize(file), 3);
    EXPECT_EQ(fileSize(dir.path("none")), -1);
    EXPECT_EQ(fileSize(dir.path()), -1);

    // 2009-02-13 23:31:30 UTC.
    struct timespec times[2] = {{1234567890, 0}, {1234567890, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    EXPECT_EQ(fileWriteTime(file), (1234567890ull + 11644473600ull) * 10000000);
    EXPECT_EQ(fileWriteTime(dir.path("none")), 0u);

    ScopedEnv tz("TZ", "UTC0");
    LStr text("stale");
    LFileDateTime dt = fileDateTime(file, &text);
    EXPECT_EQ(dt.date, 20090213);
    EXPECT_EQ(dt.time, 233130);
    EXPECT_EQ(text.view(), "09/02/13 23:31:30");
    dt = fileDateTime(dir.path("none"), &text);
    EXPECT_EQ(dt.date + dt.time, 0);
    EXPECT_EQ(text.view(), "");
}

TEST(PathUtils, RemoveFileReportsOnlyWhenAsked) {
    TempDir dir;
    std::string file = dir.write("f.txt", "x");
    CaptureSink sink;
    EXPECT_TRUE(removeFile(file, true));
    EXPECT_FALSE(dir.exists("f.txt"));
    EXPECT_FALSE(removeFile(file, false));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_FALSE(removeFile(file, true));
    EXPECT_EQ(numberedTexts(sink), Texts{"17100 remove(): errno=2: No such file or directory"});
}

TEST(PathUtils, EnsureDirChainCreatesEveryMissingFolder) {
    TempDir dir;
    std::string file = dir.path("a/b//\x93\xfa\x96\x7b/f.txt");  // "日本" as Shift-JIS
    EXPECT_TRUE(ensureDirChain(file));
    EXPECT_TRUE(dir.exists("a/b/日本"));
    EXPECT_TRUE(ensureDirChain(file));  // all there already
    EXPECT_TRUE(ensureDirChain("just-a-name.txt"));

    CaptureSink sink;
    dir.write("plain", "x");
    EXPECT_FALSE(ensureDirChain(dir.path("plain/sub/f.txt")));  // a file in the way
    EXPECT_TRUE(sink.messages().empty());
}

TEST(PathUtils, RemoveEmptyDirsUpwardStopsAtContentAndRoot) {
    TempDir dir;
    dir.write("keep.txt", "");
    mkdir(dir.path("a").c_str(), 0755);
    mkdir(dir.path("a/b").c_str(), 0755);
    mkdir(dir.path("a/b/c").c_str(), 0755);
    CaptureSink sink;
    removeEmptyDirsUpward(dir.path("a/b/c/gone.txt"));
    EXPECT_FALSE(dir.exists("a"));
    EXPECT_TRUE(dir.exists("keep.txt"));  // the walk stopped at the first non-empty folder
    EXPECT_TRUE(sink.messages().empty());

    // The stop folder itself is never removed, even when it is empty.
    TempDir other;
    mkdir(other.path("x").c_str(), 0755);
    removeEmptyDirsUpward(other.path("x/f.txt"), other.path() + "/");
    EXPECT_FALSE(other.exists("x"));
    EXPECT_TRUE(other.exists(""));
    // A path outside the stop folder is left alone.
    mkdir(other.path("y").c_str(), 0755);
    removeEmptyDirsUpward(other.path("y/f.txt"), dir.path());
    EXPECT_TRUE(other.exists("y"));
}

TEST(PathUtils, FolderHoldingOnlyDotFolderGivesWarning) {
    TempDir dir;
    dir.write("keep.txt", "");
    mkdir(dir.path("a").c_str(), 0755);
    mkdir(dir.path("a/.svn").c_str(), 0755);
    CaptureSink sink;
    removeEmptyDirsUpward(dir.path("a/f.txt"), dir.path());
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].number, 37000);
    std::string expected = "cannot delete directory '" + dir.path("a") + "': ";
    EXPECT_EQ(sink.messages()[0].text.rfind(expected, 0), 0u) << sink.messages()[0].text;
    EXPECT_TRUE(dir.exists("a/.svn"));
}

TEST(PathUtils, ModuleAndSpecialFolders) {
    LStr exe = moduleFileName();
    EXPECT_TRUE(exe.view().ends_with("/support_tests")) << exe.view();
    LStr folder = moduleDir(false);
    EXPECT_EQ(exe.view().substr(0, folder.size()), folder.view());
    EXPECT_EQ(moduleDir(true).view(), std::string(folder.view()) + "/");

    ScopedEnv home("HOME", "/home/u"), cache("XDG_CACHE_HOME", "/var/cache/u");
    EXPECT_EQ(specialFolderPath(SpecialFolder::kUserCache).view(), "/var/cache/u");
    EXPECT_EQ(specialFolderPath(SpecialFolder::kHome).view(), "/home/u");
}

}  // namespace
