// The common folder prefix cut from displayed paths.
#include "search/display_base.h"

#include <gtest/gtest.h>

#include "common/system_charset.h"

TEST(CommonFolderBase, EndsAtAWholeComponentAndWholeCharacters) {
    struct Case {
        std::vector<std::string> folders;
        std::string base;
    } cases[] = {
        {{"/a/x", "/a/y"}, "/a/"},
        {{"/a/xy", "/a/xz"}, "/a/"},
        {{"/docs/a"}, "/docs/a"},
        {{"/docs/a", "/docs/a/sub"}, "/docs/a"},
        {{"/a", "/b"}, "/"},
        {{"one", "two"}, ""},
        {{"/a/x", "/a/x", "/a/xyz"}, "/a/"},
        {{}, ""},
        // 東京 and 東北 share their first character only; ソ (83 5C) ends in
        // the backslash byte, which is no separator.
        {{sj("/d/東京"), sj("/d/東北")}, "/d/"},
        {{sj("/d/ソ/a"), sj("/d/ソ/b")}, sj("/d/ソ/")},
        {{"/d/\x83\x41", "/d/\x83\x42"}, "/d/"},
    };
    for (const Case& c : cases) {
        std::vector<LStr> folders(c.folders.begin(), c.folders.end());
        EXPECT_EQ(std::string(commonFolderBase(folders).view()), c.base)
            << (c.folders.empty() ? "" : c.folders.back());
    }
}
