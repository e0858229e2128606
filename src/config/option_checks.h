// The checks the options dialog makes before it stores what the user typed.
// Each check refuses or accepts; a refusal has already told the user why
// (through OptionDialogUser), and the dialog then opens again with the values
// entered. Steps that pass store their setting at once. The dialog itself, the
// deletion of index files and the parsers of other subsystems come in through
// OptionDialogUser and OptionHooks, so these checks run without a GUI.
#pragma once
#include <cstdint>
#include <functional>
#include <string_view>

#include "base/lstr.h"

struct AppSettings;

// The lowest minimum match rate of a fuzzy search.
constexpr int32_t kLowestMinRate = 60;

// The dialog's side of the conversation: message boxes captioned with the
// program name.
class OptionDialogUser {
public:
    virtual ~OptionDialogUser() = default;
    // A message with an OK button.
    virtual void tell(std::string_view message) = 0;
    // A yes/no question; true for yes.
    virtual bool ask(std::string_view question) = 0;
};

// Work of other subsystems that the checks start or consult. An empty
// function accepts (or does nothing).
struct OptionHooks {
    // Starts the deletion of all index files in a folder.
    std::function<void(std::string_view folder)> deleteAllIndexes;
    // Parse a replacement-pair list, a font pattern list, a search-area
    // pattern; false when the text is refused (after reporting why).
    std::function<bool(std::string_view)> checkReplacements;
    std::function<bool(std::string_view)> checkFontSpec;
    std::function<bool(std::string_view)> checkSearchArea;
};

// The texts the dialog edits in working copies (the other controls write
// their settings directly).
struct OptionTexts {
    LStr recSeparEsc;
    LStr schAreaInRec;
    LStr tabSizes;  // the numbers of tabSizes2 joined with ","
    LStr dspPreReplace;
    LStr dspFontSpec;
    LStr dspDupReplace;
    LStr nonTextExt;
    LStr ixfDir;
};

// The working texts filled from the settings when the dialog opens.
OptionTexts optionTextsOf(const AppSettings& settings);
// The history lists the dialog needs, seeded when empty.
void seedOptionHistories(AppSettings& settings);

// Refuses when errors or warnings were reported since the count was taken.
bool checkNoNewMessages(int countAtOpen);
// Refuses an empty record separator.
bool checkRecordSeparatorGiven(std::string_view recSeparEsc, OptionDialogUser& user);
// Refuses a minimum match rate below kLowestMinRate.
bool checkMinRate(int32_t minRate, OptionDialogUser& user);
// A changed record separator invalidates every index file: asks, and on yes
// starts their deletion and stores the separator; refuses on no.
bool storeRecordSeparator(AppSettings& settings, std::string_view recSeparEsc,
                          OptionDialogUser& user, const OptionHooks& hooks);
// A changed index folder is stored in any case; on yes the index files of
// the old folder are deleted first.
void storeIndexFolder(AppSettings& settings, std::string_view ixfDir, OptionDialogUser& user,
                      const OptionHooks& hooks);
// "4,8" replaces tabSizes2; text the number parser refuses is refused.
bool storeTabSizes(AppSettings& settings, std::string_view text);
// Stores nonTextExt and rebuilds the extension list when it changed.
void storeNonTextExt(AppSettings& settings, std::string_view text);
// Stores a changed text once check accepts it.
bool storeCheckedText(LStr& target, std::string_view text,
                      const std::function<bool(std::string_view)>& check);

// Every check and store of the dialog's OK, in order; false when the dialog
// must open again.
bool storeOptionTexts(AppSettings& settings, const OptionTexts& texts, int countAtOpen,
                      OptionDialogUser& user, const OptionHooks& hooks);
