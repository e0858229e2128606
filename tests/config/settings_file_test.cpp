// The configuration file on disk: every key round-trips, errors name the file
// and line, a failed save leaves the old file as it was, and the first start.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "config/app_settings.h"

namespace {

// Every key with a value other than its default, with the bytes that need
// escaping, double-byte characters and empty list entries among them.
const char kEveryKey[] =
    "mainRc=(-20,30,640,480)\n"
    "stdFont=(N![S!]!C \x95\x5C!Q,9,0h,1h,10203h)\ntxtFont=(T,10,0h,2h,20406h)\n"
    "hitFont=(H,11,0h,3h,30609h)\ninsFont=(I,12,0h,4h,4080Ch)\ndelFont=(D,13,0h,5h,50A0Fh)\n"
    "msgFont=(M,14,0h,6h,60C12h)\nspcFont0=(0,15,0h,7h,70E15h)\nspcFont1=(1,16,0h,8h,81018h)\n"
    "spcFont2=(2,17,0h,9h,9121Bh)\nspcFont3=(3,18,0h,Ah,A141Eh)\n"
    "appTitle=Qf ![test!]!C v2!Q\nixfDir=/tmp/ix dir/\x95\x5C/\npsLastActive=2\n"
    "xnMsHisroty=5\ndspFieldTitle=1\nfldTitPre=!r!n!t-\nnumDspNhf=-1\nmaxBytes=1073741824\n"
    "recSeparEsc=\\r\\n\nrecSeparEscs=(a,,b!Cc)\nfldSeparEsc=!C\nfldSeparEscs=(\\t,)\n"
    "dspSeparEsc=----\\n\nappToUse=/usr/bin/gedit\nappOptFormat=+<@>\nnonTextExt=odt;ods\n"
    "keepCnvTxt=0\nuseOffice2003=1\nsearchOnFocus=2\nminRate=60\nschAreaInRec=^Title:\n"
    "schAreaInRecs=(^Title:, trailing )\nignoreSameRec=1\ntabSizes2=(4,-8,-2147483648)\n"
    "dspAlwaysFullPath=1\ndspAutoScroll=0\ndspSuprDup=1\ndspPreReplace=a=b!r!nc==d=e\n"
    "dspFontSpec=![?<F0>x!]\ndspDupReplace=; not a comment\nschStr=\x82\xA0![1!]\n"
    "schStrs=(x,\x82\xA0![1!])\nschDir=/docs;/more\nschDirs=(/docs)\nschFile=*.txt;*.md\n"
    "schFiles=(*.txt,*.md)\nschICaseF=0\nschIZhF=1\nschStemF=1\nschType=3\nschWord=1\n"
    "schFieldMchF=1\nschSubDir=1\nschCount=1\nschSortByRate=1\nschUseIX=1\n"
    "autoDetectCharset=0\n"
    "searchThreads=3\n";

// The lines of a text in which every line ends in CR LF.
std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    for (size_t end; (end = text.find("\r\n")) != text.npos; text.remove_prefix(end + 2))
        lines.emplace_back(text.substr(0, end));
    return lines;
}

long entries(const std::string& folder) {
    return std::distance(std::filesystem::directory_iterator(folder), {});
}

bool saveWithFileSizeLimit(AppSettings& s, rlim_t bytes) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = s.save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return saved;
}

}  // namespace

TEST(SettingsFile, EveryKeyRoundTrips) {
    TempDir dir;
    AppSettings original;
    ASSERT_TRUE(original.loadText(kEveryKey, "every key"));
    // The filled text differs from the defaults on every key line, so the
    // comparison below covers every key.
    auto filled = linesOf(original.configText());
    auto defaults = linesOf(AppSettings().configText());
    ASSERT_EQ(filled.size(), defaults.size());
    for (size_t i = 1; i < filled.size(); ++i) EXPECT_NE(filled[i], defaults[i]);

    original.configPath = dir.path("a/b/Quillfind.cfg");
    CaptureSink sink;
    ASSERT_TRUE(original.save()) << sink.allText();
    const std::string firstBytes = dir.read("a/b/Quillfind.cfg");
    EXPECT_EQ(firstBytes, original.configText().view());

    AppSettings loaded;
    loaded.configPath = original.configPath;
    ASSERT_TRUE(loaded.load());
    EXPECT_TRUE(sink.messages().empty()) << sink.allText();
    EXPECT_EQ(loaded.configText(), original.configText());
    ASSERT_TRUE(loaded.save());
    EXPECT_EQ(dir.read("a/b/Quillfind.cfg"), firstBytes);
    EXPECT_EQ(entries(dir.path("a/b")), 1) << "no temporary file may stay behind";
}

TEST(SettingsFile, ErrorsNameTheFileAndLine) {
    TempDir dir;
    AppSettings s;
    s.configPath = dir.write("Quillfind.cfg",
                             "; Quillfind Configuration File\r\nminRate=80\r\nfoo=1\r\n"
                             "schType=2\r\nminRate\t=90\r\n");
    CaptureSink sink;
    ASSERT_TRUE(s.load());
    const std::string file(s.configPath.view());
    ASSERT_EQ(sink.messages().size(), 2u);
    EXPECT_EQ(sink.messages()[0].position, file + "(3)");
    EXPECT_EQ(sink.messages()[1].position, file + "(5)");
    EXPECT_EQ(s.minRate, 80);
    report(0, "after");
    EXPECT_EQ(sink.messages().back().position, "") << "the position is removed after reading";

    AppSettings missing;
    missing.configPath = dir.path("none/Quillfind.cfg");
    EXPECT_FALSE(missing.load());
    EXPECT_EQ(sink.messages().back().number, 17000);
    EXPECT_EQ(missing.configText(), AppSettings().configText());
}

TEST(SettingsFile, FailedSaveReportsAndLeavesWhatIsThere) {
    struct Case {
        const char* blocker;  // what is in the way, and stays
        const char* configPath;
        bool fileSizeLimit;
    } cases[] = {
        {"blocker", "blocker/VeloSoft/Quillfind.cfg", false},  // no folder can be made
        {"Quillfind.cfg/keep", "Quillfind.cfg", false},        // the rename cannot replace a folder
        {"Quillfind.cfg", "Quillfind.cfg", true},  // the write fails part-way (a full disk)
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write(c.blocker, "in the way");
        AppSettings s;
        ASSERT_TRUE(s.loadText(kEveryKey, "every key"));
        s.configPath = dir.path(c.configPath);
        CaptureSink sink;
        EXPECT_FALSE(c.fileSizeLimit ? saveWithFileSizeLimit(s, 100) : s.save()) << c.blocker;
        EXPECT_NE(sink.allText().find("cannot save the configuration file"), std::string::npos)
            << sink.allText();
        EXPECT_EQ(dir.read(c.blocker), "in the way");
        EXPECT_EQ(entries(dir.path()), 1) << "no temporary file may stay behind";
    }
}

// The file at the end of a chain of links is replaced; the links stay. A
// relative link counts from its own folder.
TEST(SettingsFile, SavingThroughLinksKeepsThem) {
    namespace fs = std::filesystem;
    TempDir dir;
    dir.write("real/Quillfind.cfg", "old");
    fs::create_directories(dir.path("mid"));
    fs::create_directories(dir.path("cfg"));
    fs::create_symlink("../real/Quillfind.cfg", dir.path("mid/hop"));
    fs::create_symlink(dir.path("mid/hop"), dir.path("cfg/Quillfind.cfg"));
    AppSettings s;
    ASSERT_TRUE(s.loadText(kEveryKey, "every key"));
    s.configPath = dir.path("cfg/Quillfind.cfg");
    CaptureSink sink;
    ASSERT_TRUE(s.save()) << sink.allText();
    EXPECT_TRUE(fs::is_symlink(dir.path("cfg/Quillfind.cfg")));
    EXPECT_TRUE(fs::is_symlink(dir.path("mid/hop")));
    EXPECT_EQ(dir.read("real/Quillfind.cfg"), s.configText().view());
    for (const char* folder : {"real", "mid", "cfg"}) EXPECT_EQ(entries(dir.path(folder)), 1);

    fs::create_symlink("loop", dir.path("cfg/loop"));
    s.configPath = dir.path("cfg/loop");
    EXPECT_FALSE(s.save());
    EXPECT_NE(sink.allText().find("cannot save the configuration file"), std::string::npos);
}

TEST(SettingsFile, FirstStartAdoptsAnInstalledEditor) {
    TempDir dir;
    const std::string editor = dir.write("bin/editor", "#!/bin/sh\n");
    const std::vector<EditorCandidate> candidates = {{LStr(dir.path("bin/missing")), "-l <@>"},
                                                     {LStr(editor), "+<@>"}};
    CaptureSink sink;
    AppSettings first;
    first.configPath = dir.path("cfg/Quillfind.cfg");
    first.startUp(1920, 1080, candidates);
    EXPECT_TRUE(sink.messages().empty()) << "a missing file is no error: " << sink.allText();
    EXPECT_EQ(first.appToUse, editor);
    EXPECT_EQ(first.appOptFormat, "+<@>");
    EXPECT_EQ(first.schFiles, (LStrList{"*.txt"}));

    // Later starts keep what the file says.
    dir.write("cfg/Quillfind.cfg",
              "appToUse=/opt/ed\r\nappOptFormat=\r\nschFiles=()\r\nmainRc=(5000,10,800,600)\r\n");
    AppSettings later;
    later.configPath = dir.path("cfg/Quillfind.cfg");
    later.startUp(1920, 1080, candidates);
    EXPECT_EQ(later.appToUse, "/opt/ed");
    EXPECT_EQ(later.appOptFormat, "");
    EXPECT_EQ(later.schFiles, (LStrList{"*.txt"}));
    EXPECT_EQ(later.mainRc, WindowRect{});
}
