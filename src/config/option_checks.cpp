// The options dialog's checks and stores, in the order its OK runs them.
#include "config/option_checks.h"

#include "config/app_settings.h"
#include "support/message_service.h"
#include "text/number_parse.h"

namespace {

// "レコードの区切りを指定してください"
constexpr char kRecordSeparatorMissing[] =
    "\x83\x8C\x83R\x81[\x83h\x82\xCC\x8B\xE6\x90\xD8\x82\xE8\x82\xF0\x8Ew\x92\xE8\x82\xB5\x82\xC4"
    "\x82\xAD\x82\xBE\x82\xB3\x82\xA2";
// "一致率下限値は %d 以上にしてください"
constexpr char kMinRateTooLow[] =
    "\x88\xEA\x92v\x97\xA6\x89\xBA\x8C\xC0\x92l\x82\xCD %d \x88\xC8\x8F\xE3\x82\xC9\x82\xB5\x82\xC4"
    "\x82\xAD\x82\xBE\x82\xB3\x82\xA2";
// "レコードの区切りを変更しました。すべての索引ファイルは削除されます。よろしいですか?"
constexpr char kRecordSeparatorChanged[] =
    "\x83\x8C\x83R\x81[\x83h\x82\xCC\x8B\xE6\x90\xD8\x82\xE8\x82\xF0\x95\xCF\x8DX\x82\xB5\x82\xDC"
    "\x82\xB5\x82\xBD\x81"
    "B\x82\xB7\x82\xD7\x82\xC4\x82\xCC\x8D\xF5\x88\xF8\x83t\x83@\x83"
    "C\x83"
    "\x8B\x82\xCD\x8D\xED\x8F\x9C\x82\xB3\x82\xEA\x82\xDC\x82\xB7\x81"
    "B\x82\xE6\x82\xEB\x82\xB5"
    "\x82\xA2\x82\xC5\x82\xB7\x82\xA9?";
// "索引ファイルのフォルダを変更しました。古いフォルダの索引ファイルを削除しますか?"
constexpr char kIndexFolderChanged[] =
    "\x8D\xF5\x88\xF8\x83t\x83@\x83"
    "C\x83\x8B\x82\xCC\x83t\x83H\x83\x8B\x83_\x82\xF0\x95\xCF\x8D"
    "X\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81"
    "B\x8C\xC3\x82\xA2\x83t\x83H\x83\x8B\x83_\x82\xCC\x8D"
    "\xF5\x88\xF8\x83t\x83@\x83"
    "C\x83\x8B\x82\xF0\x8D\xED\x8F\x9C\x82\xB5\x82\xDC\x82\xB7\x82\xA9?";

LStr joinNumbers(const IntList& numbers) {
    LStr text;
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i) text.append(',');
        text.append(formatText("%d", numbers[i]));
    }
    return text;
}

bool accepts(const std::function<bool(std::string_view)>& check, std::string_view text) {
    return !check || check(text);
}

}  // namespace

OptionTexts optionTextsOf(const AppSettings& settings) {
    OptionTexts texts;
    texts.recSeparEsc = settings.recSeparEsc;
    texts.schAreaInRec = settings.schAreaInRec;
    texts.tabSizes = joinNumbers(settings.tabSizes2);
    texts.dspPreReplace = settings.dspPreReplace;
    texts.dspFontSpec = settings.dspFontSpec;
    texts.dspDupReplace = settings.dspDupReplace;
    texts.nonTextExt = settings.nonTextExt;
    texts.ixfDir = settings.ixfDir;
    return texts;
}

void seedOptionHistories(AppSettings& settings) {
    if (settings.recSeparEscs.empty()) settings.recSeparEscs = {LStr("\\x0A"), LStr()};
    if (settings.fldSeparEscs.empty()) settings.fldSeparEscs = {LStr("\\t"), LStr()};
    if (settings.schAreaInRecs.empty()) settings.schAreaInRecs = {LStr()};
}

bool checkNoNewMessages(int countAtOpen) {
    return threadDefectCount() == countAtOpen;
}

bool checkRecordSeparatorGiven(std::string_view recSeparEsc, OptionDialogUser& user) {
    if (!recSeparEsc.empty()) return true;
    user.tell(kRecordSeparatorMissing);
    return false;
}

bool checkMinRate(int32_t minRate, OptionDialogUser& user) {
    if (minRate >= kLowestMinRate) return true;
    user.tell(formatText(kMinRateTooLow, kLowestMinRate));
    return false;
}

bool storeRecordSeparator(AppSettings& settings, std::string_view recSeparEsc,
                          OptionDialogUser& user, const OptionHooks& hooks) {
    if (settings.recSeparEsc.view() == recSeparEsc) return true;
    if (!user.ask(kRecordSeparatorChanged)) return false;
    if (hooks.deleteAllIndexes) hooks.deleteAllIndexes(settings.ixfDir);
    settings.recSeparEsc = recSeparEsc;
    return true;
}

void storeIndexFolder(AppSettings& settings, std::string_view ixfDir, OptionDialogUser& user,
                      const OptionHooks& hooks) {
    if (settings.ixfDir.view() == ixfDir) return;
    // The deletion takes its own copy of the old folder before the new one
    // is stored.
    if (user.ask(kIndexFolderChanged) && hooks.deleteAllIndexes) {
        hooks.deleteAllIndexes(settings.ixfDir);
    }
    settings.ixfDir = ixfDir;
}

bool storeTabSizes(AppSettings& settings, std::string_view text) {
    IntList sizes;
    if (parseNumberList(text, ',', sizes) != 0) return false;
    settings.tabSizes2 = std::move(sizes);
    return true;
}

void storeNonTextExt(AppSettings& settings, std::string_view text) {
    if (settings.nonTextExt.view() != text) settings.setNonTextExt(text);
}

bool storeCheckedText(LStr& target, std::string_view text,
                      const std::function<bool(std::string_view)>& check) {
    if (target.view() == text) return true;
    if (!accepts(check, text)) return false;
    target = text;
    return true;
}

bool storeOptionTexts(AppSettings& settings, const OptionTexts& texts, int countAtOpen,
                      OptionDialogUser& user, const OptionHooks& hooks) {
    if (!checkNoNewMessages(countAtOpen)) return false;
    if (!checkRecordSeparatorGiven(texts.recSeparEsc, user)) return false;
    if (!checkMinRate(settings.minRate, user)) return false;
    if (!storeRecordSeparator(settings, texts.recSeparEsc, user, hooks)) return false;
    storeIndexFolder(settings, texts.ixfDir, user, hooks);
    if (!storeTabSizes(settings, texts.tabSizes)) return false;
    storeNonTextExt(settings, texts.nonTextExt);
    if (!storeCheckedText(settings.dspPreReplace, texts.dspPreReplace, hooks.checkReplacements))
        return false;
    if (!storeCheckedText(settings.dspFontSpec, texts.dspFontSpec, hooks.checkFontSpec))
        return false;
    if (!storeCheckedText(settings.dspDupReplace, texts.dspDupReplace, hooks.checkReplacements))
        return false;
    if (!texts.schAreaInRec.empty() && !accepts(hooks.checkSearchArea, texts.schAreaInRec))
        return false;
    settings.schAreaInRec = texts.schAreaInRec;
    return true;
}
