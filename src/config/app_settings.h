// AppSettings: the one settings object. Every key of the configuration file is
// a public field named as the key; the search keys ("sch...") form the search
// request. Besides the keys it holds run-time fields that are never written.
// The GUI owns the object from start-up to exit; a search run reads only the
// request it was given, never this object.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "config/font_record.h"
#include "config/window_rect.h"

class LIni;

using LStrList = std::vector<LStr>;
using IntList = std::vector<int32_t>;

// An outside editor that the first start adopts when its program exists.
struct EditorCandidate {
    LStr program;
    LStr optFormat;  // line-number option, "<@>" stands for the line
};

struct AppSettings {
    // Search types (schType).
    static constexpr int32_t kNormalSearch = 1;
    static constexpr int32_t kRegexSearch = 2;
    static constexpr int32_t kFuzzySearch = 3;

    // The defaults of every key.
    AppSettings();

    // Keys, in the order in which they are registered and written.
    WindowRect mainRc;
    FontRecord stdFont;
    FontRecord txtFont;
    FontRecord hitFont;
    FontRecord insFont;
    FontRecord delFont;
    FontRecord msgFont;
    FontRecord spcFont0;
    FontRecord spcFont1;
    FontRecord spcFont2;
    FontRecord spcFont3;
    LStr appTitle = "Quillfind";
    LStr ixfDir;  // index folder, ending in "/"
    int32_t psLastActive = 0;
    int32_t xnMsHisroty = 20;
    int32_t dspFieldTitle = 0;
    LStr fldTitPre = "\n  ";
    int32_t numDspNhf = 2;
    int32_t maxBytes = 0;
    LStr recSeparEsc = "[\\x0A\\x0D]+";
    LStrList recSeparEscs;
    LStr fldSeparEsc = "\\t";
    LStrList fldSeparEscs;
    LStr dspSeparEsc;
    LStr appToUse;
    LStr appOptFormat;
    LStr nonTextExt = "doc;rtf;xls;ppt;jtd;pdf;chm;zip;lzh;fm;mif;indd";
    int32_t keepCnvTxt = 1;
    int32_t useOffice2003 = 0;
    int32_t searchOnFocus = 0;
    int32_t minRate = 75;
    LStr schAreaInRec;
    LStrList schAreaInRecs;
    int32_t ignoreSameRec = 0;
    IntList tabSizes2;
    int32_t dspAlwaysFullPath = 0;
    int32_t dspAutoScroll = 1;
    int32_t dspSuprDup = 0;
    LStr dspPreReplace;
    LStr dspFontSpec;
    LStr dspDupReplace;
    LStr schStr;
    LStrList schStrs;
    LStr schDir;
    LStrList schDirs;
    LStr schFile;
    LStrList schFiles;
    int32_t schICaseF = 1;
    int32_t schIZhF = 0;
    int32_t schStemF = 0;
    int32_t schType = kNormalSearch;
    int32_t schWord = 0;
    int32_t schFieldMchF = 0;
    int32_t schSubDir = 0;
    int32_t schCount = 0;
    int32_t schSortByRate = 0;
    int32_t schUseIX = 0;
    int32_t autoDetectCharset = 1;  // BOM-less UTF-8 and EUC-JP files are decoded
    int32_t searchThreads = 0;      // files searched at once; 0: one per processor

    // Run-time fields, never written.
    LStr configPath;          // the configuration file
    LStr helpPath;            // the manual, set by the front end
    LStrList nonTextExtList;  // nonTextExt split at ";" (blanks around it dropped)
    LStr pendingFolder;       // dropped folders, joined by ";"

    // The ten font records in key order (0 stdFont ... 9 spcFont3); null
    // outside that range.
    FontRecord* fontRecord(int index);
    const FontRecord* fontRecord(int index) const {
        return const_cast<AppSettings*>(this)->fontRecord(index);
    }

    // Registers every key with an LIni, in table order.
    void registerKeys(LIni& ini);

    // Reads configPath (the default path when it is empty); returns false when
    // the file could not be opened. Errors in the file are reported with its
    // name and line; keys not read keep their values.
    bool load();
    // Reads configuration-file syntax from memory ("schType=2"), reporting
    // errors as "sourceName(line)"; returns whether no error was reported.
    bool loadText(std::string_view text, std::string_view sourceName);
    // Writes configPath through a temporary file beside it; returns false (the
    // old file left as it was) when anything failed, after reporting it.
    bool save();
    // The configuration file's bytes as save() writes them.
    LStr configText();

    // Start-up after the command line was read: an empty configPath becomes
    // the default path; an existing file is loaded, otherwise the first
    // existing editor candidate is adopted; then the steps of startUpChecks.
    void startUp(int32_t screenWidth, int32_t screenHeight,
                 const std::vector<EditorCandidate>& editors);
    // "*.txt" into an empty schFiles, the extension list, a valid schType and
    // the window-position check.
    void startUpChecks(int32_t screenWidth, int32_t screenHeight);
    // mainRc goes back to "let the system choose" when the window would lie
    // off a screen of this size or be smaller than 10 pixels.
    void checkWindowPosition(int32_t screenWidth, int32_t screenHeight);

    // Stores a new nonTextExt and rebuilds the extension list.
    void setNonTextExt(std::string_view text);
    void rebuildNonTextExtList();
    // Whether ext (without the dot) is in the extension list, ASCII case
    // ignored.
    bool isNonTextExtension(std::string_view ext) const;
};

// The default configuration file: $XDG_CONFIG_HOME/VeloSoft/Quillfind.cfg,
// else Quillfind.cfg beside the program.
LStr defaultConfigPath();
// The default index folder: $XDG_CACHE_HOME/VeloSoft/Quillfind_ix/.
LStr defaultIndexFolder();
// The outside editors the first start looks for.
const std::vector<EditorCandidate>& defaultEditorCandidates();
