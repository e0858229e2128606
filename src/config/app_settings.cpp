// AppSettings: the defaults of a fresh object, the table of keys and the
// checks made at start-up.
#include "config/app_settings.h"

#include <iterator>

#include "config/ini.h"

namespace {

// "[.?!][ \n]|[。？！]": sentences (the \n is one line-feed byte).
constexpr char kSentenceSeparator[] =
    "[.?!][ \x0A]|[\x81"
    "B\x81H\x81I]";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

AppSettings::AppSettings() : ixfDir(defaultIndexFolder()) {
    struct Colour {
        FontRecord* font;
        uint32_t color;
    };
    const Colour colours[] = {
        {&stdFont, rgbColor(0, 128, 128)},  {&txtFont, FontRecord::kWindowTextColor},
        {&hitFont, rgbColor(255, 0, 0)},    {&insFont, rgbColor(0, 0, 255)},
        {&delFont, rgbColor(255, 0, 0)},    {&msgFont, rgbColor(128, 0, 0)},
        {&spcFont0, rgbColor(0, 0, 128)},   {&spcFont1, rgbColor(128, 0, 128)},
        {&spcFont2, rgbColor(128, 128, 0)}, {&spcFont3, rgbColor(128, 128, 128)},
    };
    for (const Colour& c : colours) {
        c.font->size = 12;
        c.font->color = c.color;
    }
    insFont.style = FontRecord::kUnderline;
    delFont.style = FontRecord::kStrikeOut;
    recSeparEscs = {LStr("[\\x0A\\x0D]+"), LStr(kSentenceSeparator)};
}

void AppSettings::registerKeys(LIni& ini) {
    ini.addRect("mainRc", mainRc);
    ini.addFont("stdFont", stdFont);
    ini.addFont("txtFont", txtFont);
    ini.addFont("hitFont", hitFont);
    ini.addFont("insFont", insFont);
    ini.addFont("delFont", delFont);
    ini.addFont("msgFont", msgFont);
    ini.addFont("spcFont0", spcFont0);
    ini.addFont("spcFont1", spcFont1);
    ini.addFont("spcFont2", spcFont2);
    ini.addFont("spcFont3", spcFont3);
    ini.addString("appTitle", appTitle);
    ini.addString("ixfDir", ixfDir);
    ini.addInt("psLastActive", psLastActive);
    ini.addInt("xnMsHisroty", xnMsHisroty);
    ini.addInt("dspFieldTitle", dspFieldTitle);
    ini.addString("fldTitPre", fldTitPre);
    ini.addInt("numDspNhf", numDspNhf);
    ini.addInt("maxBytes", maxBytes);
    ini.addString("recSeparEsc", recSeparEsc);
    ini.addStringList("recSeparEscs", recSeparEscs);
    ini.addString("fldSeparEsc", fldSeparEsc);
    ini.addStringList("fldSeparEscs", fldSeparEscs);
    ini.addString("dspSeparEsc", dspSeparEsc);
    ini.addString("appToUse", appToUse);
    ini.addString("appOptFormat", appOptFormat);
    ini.addString("nonTextExt", nonTextExt);
    ini.addInt("keepCnvTxt", keepCnvTxt);
    ini.addInt("useOffice2003", useOffice2003);
    ini.addInt("searchOnFocus", searchOnFocus);
    ini.addInt("minRate", minRate);
    ini.addString("schAreaInRec", schAreaInRec);
    ini.addStringList("schAreaInRecs", schAreaInRecs);
    ini.addInt("ignoreSameRec", ignoreSameRec);
    ini.addIntList("tabSizes2", tabSizes2);
    ini.addInt("dspAlwaysFullPath", dspAlwaysFullPath);
    ini.addInt("dspAutoScroll", dspAutoScroll);
    ini.addInt("dspSuprDup", dspSuprDup);
    ini.addString("dspPreReplace", dspPreReplace);
    ini.addString("dspFontSpec", dspFontSpec);
    ini.addString("dspDupReplace", dspDupReplace);
    ini.addString("schStr", schStr);
    ini.addStringList("schStrs", schStrs);
    ini.addString("schDir", schDir);
    ini.addStringList("schDirs", schDirs);
    ini.addString("schFile", schFile);
    ini.addStringList("schFiles", schFiles);
    ini.addInt("schICaseF", schICaseF);
    ini.addInt("schIZhF", schIZhF);
    ini.addInt("schStemF", schStemF);
    ini.addInt("schType", schType);
    ini.addInt("schWord", schWord);
    ini.addInt("schFieldMchF", schFieldMchF);
    ini.addInt("schSubDir", schSubDir);
    ini.addInt("schCount", schCount);
    ini.addInt("schSortByRate", schSortByRate);
    ini.addInt("schUseIX", schUseIX);
    ini.addInt("autoDetectCharset", autoDetectCharset);
    ini.addInt("searchThreads", searchThreads);
}

void AppSettings::startUpChecks(int32_t screenWidth, int32_t screenHeight) {
    if (schFiles.empty()) schFiles.push_back("*.txt");
    rebuildNonTextExtList();
    // The file reader takes any number; the search knows only these three.
    if (schType < kNormalSearch || schType > kFuzzySearch) schType = kNormalSearch;
    checkWindowPosition(screenWidth, screenHeight);
}

void AppSettings::checkWindowPosition(int32_t screenWidth, int32_t screenHeight) {
    const WindowRect& r = mainRc;
    // 64-bit arithmetic: no sum or difference may wrap. A window left of or
    // above the screen (a monitor that is gone) is as lost as one beyond it.
    int64_t x = r.x, y = r.y, width = r.width, height = r.height;
    bool offScreen = x > int64_t(screenWidth) - 10 || y > int64_t(screenHeight) - 10 ||
                     width < 10 || height < 10 || x + width < 10 || y + height < 10;
    if (offScreen) mainRc = WindowRect{};
}

void AppSettings::setNonTextExt(std::string_view text) {
    nonTextExt = text;
    rebuildNonTextExtList();
}

void AppSettings::rebuildNonTextExtList() {
    nonTextExtList.clear();
    std::string_view rest = nonTextExt.view();
    for (;;) {
        size_t semicolon = rest.find(';');
        std::string_view item = trimBlanks(rest.substr(0, semicolon));
        if (!item.empty()) nonTextExtList.emplace_back(item);
        if (semicolon == std::string_view::npos) break;
        rest.remove_prefix(semicolon + 1);
    }
}

bool AppSettings::isNonTextExtension(std::string_view ext) const {
    for (const LStr& item : nonTextExtList) {
        if (equalsIgnoringAsciiCase(item, ext)) return true;
    }
    return false;
}

FontRecord* AppSettings::fontRecord(int index) {
    FontRecord* records[] = {&stdFont, &txtFont,  &hitFont,  &insFont,  &delFont,
                             &msgFont, &spcFont0, &spcFont1, &spcFont2, &spcFont3};
    return index >= 0 && index < int(std::size(records)) ? records[index] : nullptr;
}
