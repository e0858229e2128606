// The configuration file on disk: every key round-trips, errors name the file
// and line, damaged files keep the defaults, a failed save leaves the old
// file as it was, and the first start.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "config/app_settings.h"
#include "config/ini.h"
#include "text/memory_stream.h"

namespace {

// Gives every key a value other than its default, with the bytes that need
// escaping, double-byte characters and empty list entries among them.
void fillEveryKey(AppSettings& s) {
    s.mainRc = {-20, 30, 640, 480};
    int32_t n = 1;
    for (FontRecord* f : {&s.stdFont, &s.txtFont, &s.hitFont, &s.insFont, &s.delFont, &s.msgFont,
                          &s.spcFont0, &s.spcFont1, &s.spcFont2, &s.spcFont3}) {
        f->face = "Noto (Sans), \x95\x5C!";
        f->size = 8 + n;
        f->charSet = 0;
        f->style = n % 16;
        f->color = 0x010203u * uint32_t(n++);
    }
    s.appTitle = "Qf (test), v2!";
    s.ixfDir = "/tmp/ix dir/\x95\x5C/";
    s.psLastActive = 2;
    s.xnMsHisroty = 5;
    s.dspFieldTitle = 1;
    s.fldTitPre = "\r\n\t-";
    s.numDspNhf = -1;
    s.maxBytes = 1 << 30;
    s.recSeparEsc = "\\r\\n";
    s.recSeparEscs = {"a", "", "b,c"};
    s.fldSeparEsc = ",";
    s.fldSeparEscs = {"\\t", ""};
    s.dspSeparEsc = "----\\n";
    s.appToUse = "/usr/bin/gedit";
    s.appOptFormat = "+<@>";
    s.nonTextExt = "odt;ods";
    s.keepCnvTxt = 0;
    s.useOffice2003 = 1;
    s.searchOnFocus = 2;
    s.minRate = 60;
    s.schAreaInRec = "^Title:";
    s.schAreaInRecs = {"^Title:", " trailing "};
    s.ignoreSameRec = 1;
    s.tabSizes2 = {4, -8, INT32_MIN};
    s.dspAlwaysFullPath = 1;
    s.dspAutoScroll = 0;
    s.dspSuprDup = 1;
    s.dspPreReplace = "a=b\r\nc==d=e";
    s.dspFontSpec = "(?<F0>x)";
    s.dspDupReplace = "; not a comment";
    s.schStr = "\x82\xA0(1)";
    s.schStrs = {"x", "\x82\xA0(1)"};
    s.schDir = "/docs;/more";
    s.schDirs = {"/docs"};
    s.schFile = "*.txt;*.md";
    s.schFiles = {"*.txt", "*.md"};
    s.schICaseF = 0;
    s.schIZhF = 1;
    s.schStemF = 1;
    s.schType = 3;
    s.schWord = 1;
    s.schFieldMchF = 1;
    s.schSubDir = 1;
    s.schCount = 1;
    s.schSortByRate = 1;
    s.schUseIX = 1;
}

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(SettingsFile, EveryKeyRoundTrips) {
    TempDir dir;
    AppSettings original;
    fillEveryKey(original);
    // The filled text differs from the defaults on every key line, so the
    // comparison below covers every key.
    auto filled = linesOf(original.configText());
    auto defaults = linesOf(AppSettings().configText());
    ASSERT_EQ(filled.size(), defaults.size());
    for (size_t i = 1; i < filled.size(); ++i) EXPECT_NE(filled[i], defaults[i]);

    original.configPath = dir.path("a/b/Quillfind.cfg");
    CaptureSink sink;
    ASSERT_TRUE(original.save()) << sink.allText();
    std::string firstBytes = dir.read("a/b/Quillfind.cfg");
    EXPECT_EQ(firstBytes, original.configText().view());

    AppSettings loaded;
    loaded.configPath = original.configPath;
    ASSERT_TRUE(loaded.load());
    EXPECT_TRUE(sink.messages().empty()) << sink.allText();
    EXPECT_EQ(loaded.configText(), original.configText());
    ASSERT_TRUE(loaded.save());
    EXPECT_EQ(dir.read("a/b/Quillfind.cfg"), firstBytes);
    EXPECT_EQ(folderEntries(dir.path("a/b")), std::vector<std::string>{"Quillfind.cfg"})
        << "no temporary file may stay behind";

    // Keys in another order, with bare line feeds, read the same.
    std::string reversed;
    for (auto it = filled.rbegin(); it != filled.rend(); ++it) reversed += *it + "\n";
    AppSettings shuffled;
    shuffled.configPath = dir.write("reversed.cfg", reversed);
    ASSERT_TRUE(shuffled.load());
    EXPECT_TRUE(sink.messages().empty()) << sink.allText();
    EXPECT_EQ(shuffled.configText(), original.configText());
}

TEST(SettingsFile, ErrorsNameTheFileAndLine) {
    TempDir dir;
    AppSettings s;
    s.configPath = dir.write("Quillfind.cfg",
                             "; Quillfind Configuration File\r\nminRate=80\r\nfoo=1\r\n"
                             "schType=2\r\nminRate\t=90\r\n");
    CaptureSink sink;
    ASSERT_TRUE(s.load());
    ASSERT_EQ(sink.messages().size(), 2u);
    EXPECT_EQ(sink.messages()[0].position, s.configPath.c_str() + std::string("(3)"));
    EXPECT_EQ(sink.messages()[0].text, "unknown name 'foo'");
    EXPECT_EQ(sink.messages()[0].number, 15001);
    EXPECT_EQ(sink.messages()[1].position, s.configPath.c_str() + std::string("(5)"));
    EXPECT_EQ(sink.messages()[1].text, "missing '=' in minRate");
    EXPECT_EQ(s.minRate, 80);
    EXPECT_EQ(s.schType, 2);
    report(0, "after");
    EXPECT_EQ(sink.messages().back().position, "") << "the position is removed after reading";
}

TEST(SettingsFile, TextFromMemoryUsesTheGivenSourceName) {
    AppSettings s;
    CaptureSink sink;
    EXPECT_TRUE(s.loadText("schType=2", "--set"));
    EXPECT_EQ(s.schType, 2);
    EXPECT_FALSE(s.loadText("schTyp=3", "--set"));
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].position, "--set(1)");
    EXPECT_EQ(s.schType, 2);
}

TEST(SettingsFile, TruncatedFilesKeepWhatWasReadBeforeTheCut) {
    AppSettings original;
    fillEveryKey(original);
    LStr text = original.configText();
    auto lines = linesOf(text);
    size_t lineStart = 0, lineIndex = 0;
    for (int32_t cut = 0; cut <= text.length(); cut += 3) {
        while (lineIndex + 1 < lines.size() &&
               lineStart + lines[lineIndex].size() + 2 <= size_t(cut))
            lineStart += lines[lineIndex++].size() + 2;
        CaptureSink sink;
        AppSettings loaded;
        LIni ini;
        loaded.registerKeys(ini);
        LMemSrm in(text.view().substr(0, cut));
        ini.read(in);
        EXPECT_LE(sink.messages().size(), 1u) << "cut at " << cut << ": " << sink.allText();
        auto got = linesOf(loaded.configText());
        for (size_t i = 1; i < lineIndex; ++i) ASSERT_EQ(got[i], lines[i]) << "cut at " << cut;
    }
}

TEST(SettingsFile, SaveThatCannotPlaceTheFileReportsAndLeavesWhatIsThere) {
    struct Case {
        const char* blocker;  // a file or folder in the way
        const char* configPath;
    } cases[] = {
        {"blocker", "blocker/VeloSoft/Quillfind.cfg"},  // no folder can be made
        {"Quillfind.cfg/keep", "Quillfind.cfg"},        // the rename cannot replace a folder
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write(c.blocker, "in the way");
        AppSettings s;
        s.configPath = dir.path(c.configPath);
        CaptureSink sink;
        EXPECT_FALSE(s.save()) << c.configPath;
        EXPECT_NE(sink.allText().find("cannot save the configuration file"), std::string::npos)
            << sink.allText();
        EXPECT_EQ(dir.read(c.blocker), "in the way");
        EXPECT_EQ(folderEntries(dir.path()).size(), 1u) << "no temporary file may stay behind";
    }
}

TEST(SettingsFile, FailedWriteLeavesTheOldFileIntact) {
    TempDir dir;
    AppSettings s;
    s.configPath = dir.write("Quillfind.cfg", "minRate=90\r\n");
    fillEveryKey(s);
    // A file-size limit makes the write fail part-way, as a full disk would.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    CaptureSink sink;
    bool saved = s.save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_NE(sink.allText().find("cannot save the configuration file"), std::string::npos)
        << sink.allText();
    EXPECT_EQ(dir.read("Quillfind.cfg"), "minRate=90\r\n");
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"Quillfind.cfg"});
}

TEST(SettingsFile, MissingFileIsReportedByLoad) {
    TempDir dir;
    AppSettings s;
    s.configPath = dir.path("none/Quillfind.cfg");
    CaptureSink sink;
    EXPECT_FALSE(s.load());
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].number, 17000);
    EXPECT_EQ(s.configText(), AppSettings().configText());
}

TEST(SettingsFile, FirstStartAdoptsAnInstalledEditor) {
    TempDir dir;
    std::string editor = dir.write("bin/editor", "#!/bin/sh\n");
    std::vector<EditorCandidate> candidates = {{LStr(dir.path("bin/missing")), "-l <@>"},
                                               {LStr(editor), "+<@>"}};
    CaptureSink sink;
    AppSettings first;
    first.configPath = dir.path("cfg/Quillfind.cfg");
    first.startUp(1920, 1080, candidates);
    EXPECT_TRUE(sink.messages().empty()) << "a missing file is no error: " << sink.allText();
    EXPECT_EQ(first.appToUse, editor);
    EXPECT_EQ(first.appOptFormat, "+<@>");
    EXPECT_EQ(first.schFiles, (LStrList{"*.txt"}));

    AppSettings bare;
    bare.configPath = dir.path("cfg/Quillfind.cfg");
    bare.startUp(1920, 1080, {{LStr(dir.path("bin/missing")), "-l <@>"}});
    EXPECT_EQ(bare.appToUse, "");
    EXPECT_EQ(bare.appOptFormat, "");

    // Later starts keep what the file says.
    dir.write("cfg/Quillfind.cfg",
              "appToUse=/opt/ed\r\nappOptFormat=\r\nschFiles=()\r\n"
              "schType=9\r\nmainRc=(5000,10,800,600)\r\n");
    AppSettings later;
    later.configPath = dir.path("cfg/Quillfind.cfg");
    later.startUp(1920, 1080, candidates);
    EXPECT_EQ(later.appToUse, "/opt/ed");
    EXPECT_EQ(later.appOptFormat, "");
    EXPECT_EQ(later.schFiles, (LStrList{"*.txt"}));
    EXPECT_EQ(later.schType, AppSettings::kNormalSearch);
    EXPECT_EQ(later.mainRc, WindowRect{});
    EXPECT_TRUE(sink.messages().empty()) << sink.allText();
}
