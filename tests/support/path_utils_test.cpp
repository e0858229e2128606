// Path splitting and resolving over Shift-JIS bytes, and the file helpers on
// a temporary folder: folder chains and removing emptied folders.
#include "support/path_utils.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "common/capture_sink.h"
#include "common/temp_dir.h"

namespace {

TEST(PathUtils, SplitPathTable) {
    // A backslash is an ordinary byte of a name; "表" is 0x95 0x5C, and its
    // trail byte never separates anything; a lead byte without a valid trail
    // byte does not swallow the "/".
    struct Case {
        std::string path;
        int32_t sepPos, nameStart, extDot, extStart;
        const char *dir0, *dir1;  // dirPart(path, false / true)
    } cases[] = {
        // clang-format off
        {"/dir/name.tar.gz", 4, 5, 13, 14, "/dir", "/dir/"}, {"a.b/c", 3, 4, 4, 5, "a.b", "a.b/"},
        {"dir/.profile", 3, 4, 4, 12, "dir", "dir/"}, {"a//b.txt", 1, 3, 4, 5, "a", "a//"},
        {"/file", 0, 1, 1, 5, "/", "/"}, {"file", 0, 0, 0, 4, "", ""}, {"x.", 0, 0, 1, 2, "", ""},
        {"name.txt", 0, 0, 4, 5, "", ""}, {"dir/", 3, 4, 4, 4, "dir", "dir/"},
        {"", 0, 0, 0, 0, "", ""}, {"d/a..b", 1, 2, 4, 5, "d", "d/"}, {"a\\b.c", 0, 0, 3, 4, "", ""},
        {"\x95\x5c/\x95\x5c.txt", 2, 3, 5, 6, "\x95\x5c", "\x95\x5c/"},
        {"\x95/x", 1, 2, 2, 3, "\x95", "\x95/"},
        // clang-format on
    };
    for (const auto& c : cases) {
        LPathParts p = splitPath(c.path);
        EXPECT_EQ((std::array{p.sepPos, p.nameStart, p.extDot, p.extStart}),
                  (std::array{c.sepPos, c.nameStart, c.extDot, c.extStart}))
            << c.path;
        EXPECT_EQ(dirPart(c.path, false).view(), c.dir0) << c.path;
        EXPECT_EQ(dirPart(c.path, true).view(), c.dir1) << c.path;
        EXPECT_EQ(namePart(c.path).view(), c.path.substr(size_t(c.nameStart))) << c.path;
    }
    const std::pair<const char*, const char*> appends[] = {
        {"", ""}, {"dir/", "dir/"}, {"dir", "dir/"}, {"a\\", "a\\/"}, {"\x95\x5c", "\x95\x5c/"},
    };
    for (const auto& [in, out] : appends) {
        LStr s(in);
        appendSeparator(s);
        EXPECT_EQ(s.view(), out) << in;
    }
}

TEST(PathUtils, ResolvePathByTheTextAlone) {
    // An absolute path ignores the base; ".." stops at the root; there are no
    // drive letters; "/" after a lead byte still separates; without a known
    // base a relative path stays relative.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // clang-format off
        {"/w", "docs/sub", "/w/docs/sub"}, {"/w/", "/abs//x/./y/", "/abs/x/y"}, {"/", "..", "/"},
        {"/w/a", "../b", "/w/b"}, {"/w", "../../../x", "/x"}, {"/w", ".", "/w"}, {"/w", "", "/w"},
        {"/w", "a/../../..", "/"}, {"/w", "C:\\docs", "/w/C:\\docs"},
        {"/w", "\x95\x5c/./x", "/w/\x95\x5c/x"}, {"", "./a//b/..", "a"},
        {"", "../a/../../b", "../../b"}, {"", "a/..", "."},
        // clang-format on
    };
    for (const auto& [base, path, resolved] : cases)
        EXPECT_EQ(resolvePath(base, path).view(), resolved) << base << " " << path;
}

TEST(PathUtils, CompareFileTimesUsesAllSixtyFourBits) {
    // clang-format off
    const std::tuple<uint64_t, uint64_t, int> times[] = {
        {1, 2, -1}, {2, 1, 1}, {5, 5, 0}, {1ull << 32, 0xFFFFFFFFull, 1},
        {0x1FFFFFFFFull, 2ull << 32, -1}};
    // clang-format on
    for (const auto& [a, b, sign] : times) EXPECT_EQ(compareFileTimes(a, b), sign) << a << " " << b;
}

TEST(PathUtils, EnsureDirChainAndRemoveFileReportOnlyWhenAsked) {
    TempDir dir;
    CaptureSink sink;
    std::string file = dir.path("a/b//\x93\xfa\x96\x7b/f.txt");  // "日本" as Shift-JIS
    EXPECT_TRUE(ensureDirChain(file));
    EXPECT_TRUE(dir.exists("a/b/日本"));
    EXPECT_TRUE(ensureDirChain(file));  // all there already
    EXPECT_TRUE(ensureDirChain("just-a-name.txt"));
    std::string plain = dir.write("plain", "x");
    EXPECT_FALSE(ensureDirChain(plain + "/sub/f.txt"));  // a file in the way
    EXPECT_TRUE(removeFile(plain, true));
    EXPECT_FALSE(removeFile(plain, false));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_FALSE(removeFile(plain, true));
    EXPECT_EQ(numberedTexts(sink), Texts{"17100 remove(): errno=2: No such file or directory"});
}

TEST(PathUtils, RemoveEmptyDirsUpwardStopsAtContentAndRoot) {
    TempDir dir;
    dir.write("keep.txt", "");
    std::filesystem::create_directories(dir.path("a/b/c"));
    std::filesystem::create_directories(dir.path("d/.svn"));
    CaptureSink sink;
    removeEmptyDirsUpward(dir.path("a/b/c/gone.txt"));
    EXPECT_FALSE(dir.exists("a"));
    EXPECT_TRUE(dir.exists("keep.txt"));  // the walk stopped at the first non-empty folder
    EXPECT_TRUE(sink.messages().empty());
    // A folder holding only a dot folder stays, with a warning.
    removeEmptyDirsUpward(dir.path("d/f.txt"), dir.path());
    EXPECT_TRUE(dir.exists("d/.svn"));
    ASSERT_EQ(numberedTexts(sink).size(), 1u);
    EXPECT_EQ(
        numberedTexts(sink)[0].rfind("37000 cannot delete directory '" + dir.path("d") + "': ", 0),
        0u);

    // The stop folder itself is never removed, even when it is empty, and a
    // path outside the stop folder is left alone.
    TempDir other;
    std::filesystem::create_directories(other.path("x"));
    std::filesystem::create_directories(other.path("y"));
    removeEmptyDirsUpward(other.path("x/f.txt"), other.path() + "/");
    EXPECT_FALSE(other.exists("x"));
    EXPECT_TRUE(other.exists(""));
    removeEmptyDirsUpward(other.path("y/f.txt"), dir.path());
    EXPECT_TRUE(other.exists("y"));
}

}  // namespace
