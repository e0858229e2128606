// The common folder prefix cut from displayed paths.
#include "search/display_base.h"

#include <gtest/gtest.h>

#include "e2e/search_fixture.h"

namespace {

TEST(CommonFolderBase, EndsAtAWholeComponent) {
    struct Case {
        std::vector<LStr> folders;
        const char* base;
    } cases[] = {
        {{"/a/x", "/a/y"}, "/a/"},
        {{"/a/xy", "/a/xz"}, "/a/"},
        {{"/docs/a"}, "/docs/a"},
        {{"/docs/a", "/docs/a/sub"}, "/docs/a"},
        {{"/a", "/b"}, "/"},
        {{"samples"}, "samples"},
        {{"one", "two"}, ""},
        {{"/a/x", "/a/x", "/a/xyz"}, "/a/"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(commonFolderBase(c.folders).view()), c.base)
            << c.folders.size() << " folders, first "
            << (c.folders.empty() ? "" : c.folders[0].c_str());
    }
}

TEST(CommonFolderBase, NeverSplitsADoubleByteCharacter) {
    using e2e::sj;
    // 東京 and 東北 share their first character only; ソ (83 5C) ends in the
    // backslash byte, which is no separator.
    std::vector<LStr> folders{LStr(sj("/d/東京")), LStr(sj("/d/東北"))};
    EXPECT_EQ(std::string(commonFolderBase(folders).view()), "/d/");
    std::vector<LStr> kana{LStr(sj("/d/ソ/a")), LStr(sj("/d/ソ/b"))};
    EXPECT_EQ(std::string(commonFolderBase(kana).view()), sj("/d/ソ/"));
    std::vector<LStr> sharedLead{LStr("/d/\x83\x41"), LStr("/d/\x83\x42")};
    EXPECT_EQ(std::string(commonFolderBase(sharedLead).view()), "/d/");
}

TEST(DisplayPath, CutsTheBaseOnlyWhenThePathBeginsWithIt) {
    EXPECT_EQ(displayPath("/a/x/f.txt", "/a/"), "x/f.txt");
    EXPECT_EQ(displayPath("/b/f.txt", "/a/"), "/b/f.txt");
    EXPECT_EQ(displayPath("/a/f.txt", ""), "/a/f.txt");
}

}  // namespace
