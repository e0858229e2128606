// Taking the request of a run from the settings.
#include "search/search_request.h"

#include "config/app_settings.h"
#include "epwing/epw_convert.h"
#include "index/index_marker.h"

std::vector<LStr> splitList(std::string_view text) {
    std::vector<LStr> items;
    while (!text.empty()) {
        size_t end = text.find(';');
        std::string_view item = text.substr(0, end);
        if (!item.empty()) items.emplace_back(item);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return items;
}

SearchKeys searchKeysOf(const AppSettings& s) {
    SearchKeys keys;
    keys.type = SearchType(s.schType);
    keys.ignoreCase = s.schICaseF != 0;
    keys.ignoreWidth = s.schIZhF != 0;
    keys.stem = s.schStemF != 0;
    keys.words = s.schWord != 0;
    keys.fieldMatch = s.schFieldMchF != 0;
    keys.useIndex = s.schUseIX != 0;
    keys.minRate = s.minRate;
    return keys;
}

SearchRequest makeSearchRequest(const AppSettings& s, bool literalOnce) {
    SearchRequest r;
    r.searchString = s.schStr;
    r.keys = searchKeysOf(s);
    r.keys.literalOnce = literalOnce;
    r.folders = splitList(s.schDir.view());
    r.masks = splitList(s.schFile.view());
    r.subfolders = s.schSubDir != 0;
    r.countOnly = s.schCount != 0;
    r.sortByRate = s.schSortByRate != 0;
    r.indexFolder = s.ixfDir;
    r.conversion.indexFolder = s.ixfDir;
    r.conversion.keepConverted = s.keepCnvTxt != 0;
    r.conversion.useOffice2003 = s.useOffice2003 != 0;
    r.conversion.autoDetect = s.autoDetectCharset != 0;
    r.conversion.prepareIndexFolder = ensureIndexFolder;
    r.conversion.convertDictionary = convertEpwingBody;
    r.conversion.dictionaryMaxBytes = s.maxBytes;
    r.recordSeparator = s.recSeparEsc;
    r.fieldSeparator = s.fldSeparEsc;
    r.areaPattern = s.schAreaInRec;
    r.displaySeparator = s.dspSeparEsc;
    r.ignoreSameRecord = s.ignoreSameRec;
    r.alwaysFullPath = s.dspAlwaysFullPath != 0;
    r.suppressDuplicates = s.dspSuprDup != 0;
    r.preReplace = s.dspPreReplace;
    r.fontSpec = s.dspFontSpec;
    r.dupReplace = s.dspDupReplace;
    r.fieldTitles = s.dspFieldTitle != 0;
    r.fieldTitlePrefix = s.fldTitPre;
    r.threads = s.searchThreads;
    return r;
}
