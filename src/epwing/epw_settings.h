// EpwSettings: how one dictionary is converted, from the settings file
// that matches it. Settings files are Shift-JIS texts "*.txt" in a folder
// EpwingSettings; their first lines (COPYR or PATH, a TAB, a regular
// expression) test the dictionary's copyright text and body path, and the
// first file whose tests all hold applies. Setting lines follow: a key, a
// TAB and a value; GAIJI and REP lines take two values.
#pragma once
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/lstr.h"
#include "pattern/nodes/rex.h"

// A REP line: every match of the pattern in an entry becomes the
// replacement, where "${KEY}" stands for the entry's first key.
struct EpwReplaceRule {
    LRexPtr pattern;
    LStr replacement;
};

struct EpwSettings {
    LStr bodyPath;
    LStr settingsPath;  // empty: no settings file applies
    LStr copyright;

    int32_t addIx = 0;     // ADDIX: headings from the search indexes start each entry
    int32_t tagLevel = 0;  // TAGLEV: 0 little markup, 1 plain tags, 2 tags with parameters
    LStr keySeparEsc;      // KEYSEP as written
    LStr keySeparator;     // KEYSEP with its escapes processed
    LStr recSeparEsc;      // RECSEP: the record separator the search uses
    LStr dspRep;           // DSPREP: the display replacement, "${/}" for a line end
    LStr ixLeft;           // IXL, IXR: brackets around each key
    LStr ixRight;
    int32_t maxLen = 0;                           // MAXLEN: body bytes read per section, 0 for all
    std::unordered_map<std::string, LStr> gaiji;  // "A121" -> replacement
    std::vector<EpwReplaceRule> rules;
};

// The folders searched for settings files, first match first: the user's
// configuration folder, the one beside the program, the installed one.
std::vector<LStr> epwSettingsFolders();

// Sets settingsPath to the first file of folders that applies to the
// settings' bodyPath and copyright (empty when none does).
void findSettingsFile(EpwSettings& settings, const std::vector<LStr>& folders);

// Reads the setting lines of settingsPath (when set), then fills the
// defaults of what is still unset; maxBytes is MAXLEN's default.
void readSettings(EpwSettings& settings, int32_t maxBytes);

// The latest write time among the settings files, taken on the first call
// and kept for the rest of the run.
uint64_t newestSettingsTime(const std::vector<LStr>& folders);
// Forgets the kept time, for tests.
void resetNewestSettingsTime();

// The value of a "KEY<TAB>value" line at the head of a text file; empty when
// the head ends (a line beginning with a byte up to "-" or 0x80 and above,
// or with "GAIJI") before such a line.
LStr headerValue(std::string_view file, std::string_view key);
