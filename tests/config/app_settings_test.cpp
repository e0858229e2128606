// The settings object: defaults, the order and form of every key in the
// file, and the checks made at start-up.
#include "config/app_settings.h"

#include <gtest/gtest.h>

#include "support/scoped_env.h"

namespace {

// The configuration text of a fresh object, line by line; "%F" stands for the
// font part every font key shares (face "ＭＳ ゴシック", size 12, charset 80h).
const char* const kDefaultLines[] = {
    "; Quillfind Configuration File",
    "mainRc=(-2147483648,-2147483648,-2147483648,-2147483648)",
    "stdFont=(%F,0h,808000h)",
    "txtFont=(%F,0h,0h)",
    "hitFont=(%F,0h,FFh)",
    "insFont=(%F,4h,FF0000h)",
    "delFont=(%F,8h,FFh)",
    "msgFont=(%F,0h,80h)",
    "spcFont0=(%F,0h,800000h)",
    "spcFont1=(%F,0h,800080h)",
    "spcFont2=(%F,0h,8080h)",
    "spcFont3=(%F,0h,808080h)",
    "appTitle=Quillfind",
    "ixfDir=/cache/home/VeloSoft/Quillfind_ix/",
    "psLastActive=0",
    "xnMsHisroty=20",
    "dspFieldTitle=0",
    "fldTitPre=!n  ",
    "numDspNhf=2",
    "maxBytes=0",
    "recSeparEsc=[\\x0A\\x0D]+",
    "recSeparEscs=([\\x0A\\x0D]+,[.?!Q][ !n]|[\x81"
    "B\x81H\x81I])",
    "fldSeparEsc=\\t",
    "fldSeparEscs=()",
    "dspSeparEsc=",
    "appToUse=",
    "appOptFormat=",
    "nonTextExt=doc;rtf;xls;ppt;jtd;pdf;chm;zip;lzh;fm;mif;indd",
    "keepCnvTxt=1",
    "useOffice2003=0",
    "searchOnFocus=0",
    "minRate=75",
    "schAreaInRec=",
    "schAreaInRecs=()",
    "ignoreSameRec=0",
    "tabSizes2=()",
    "dspAlwaysFullPath=0",
    "dspAutoScroll=1",
    "dspSuprDup=0",
    "dspPreReplace=",
    "dspFontSpec=",
    "dspDupReplace=",
    "schStr=",
    "schStrs=()",
    "schDir=",
    "schDirs=()",
    "schFile=",
    "schFiles=()",
    "schICaseF=1",
    "schIZhF=0",
    "schStemF=0",
    "schType=1",
    "schWord=0",
    "schFieldMchF=0",
    "schSubDir=0",
    "schCount=0",
    "schSortByRate=0",
    "schUseIX=0",
};

}  // namespace

TEST(AppSettings, FreshObjectWritesEveryKeyWithItsDefaultInTableOrder) {
    ScopedEnv cache("XDG_CACHE_HOME", "/cache/home");
    AppSettings settings;
    std::string expected;
    for (std::string line : kDefaultLines) {
        if (size_t f = line.find("%F"); f != std::string::npos)
            line.replace(f, 2,
                         "\x82l\x82r \x83S\x83V\x83"
                         "b\x83N,12,80h");
        expected += line + "\r\n";
    }
    EXPECT_EQ(settings.configText().view(), expected);
}

TEST(AppSettings, DefaultPathsFollowTheUserFolders) {
    ScopedEnv config("XDG_CONFIG_HOME", "/cfg/home");
    ScopedEnv cache("XDG_CACHE_HOME", "/cache/home");
    EXPECT_EQ(defaultConfigPath(), "/cfg/home/VeloSoft/Quillfind.cfg");
    EXPECT_EQ(defaultIndexFolder(), "/cache/home/VeloSoft/Quillfind_ix/");
    EXPECT_EQ(AppSettings().ixfDir, "/cache/home/VeloSoft/Quillfind_ix/");
}

TEST(AppSettings, WindowPositionCheck) {
    struct Case {
        WindowRect rect;
        bool kept;
    } cases[] = {
        {{100, 100, 800, 600}, true},   {{5000, 10, 800, 600}, false},  // right of the screen
        {{1910, 10, 800, 600}, true},  // the last 10 pixels still show
        {{1911, 10, 800, 600}, false},  {{10, 1071, 800, 600}, false},  // below it
        {{10, 10, 9, 600}, false},                                      // too narrow
        {{10, 10, 800, 9}, false},                                      // too low
        {{-5000, 10, 800, 600}, false},  // left of it (a monitor that is gone)
        {{10, -700, 800, 600}, false},   // above it
        {{-100, -50, 800, 600}, true},   // partly visible
        {WindowRect{}, false},
    };
    for (const auto& c : cases) {
        AppSettings s;
        s.mainRc = c.rect;
        s.checkWindowPosition(1920, 1080);
        EXPECT_EQ(s.mainRc, c.kept ? c.rect : WindowRect{})
            << c.rect.x << "," << c.rect.y << "," << c.rect.width << "," << c.rect.height;
    }
}

TEST(AppSettings, StartUpChecksKeepValidTypesAndSplitExtensions) {
    AppSettings s;
    s.nonTextExt = " doc ;\trtf;;PDF ";
    s.schFiles = {"*.md"};
    for (int32_t type : {1, 2, 3}) {
        s.schType = type;
        s.startUpChecks(1920, 1080);
        EXPECT_EQ(s.schType, type);
    }
    EXPECT_EQ(s.schFiles, (LStrList{"*.md"}));
    EXPECT_EQ(s.nonTextExtList, (LStrList{"doc", "rtf", "PDF"}));
    EXPECT_TRUE(s.isNonTextExtension("pdf"));
    EXPECT_FALSE(s.isNonTextExtension("txt"));
}
