// The configurations crash_writer saves in turn, shared with the tests,
// which know what either side of an interrupted save must look like.
#pragma once
#include <string>

#include "config/app_settings.h"

// Two configurations that differ in long values, so that a save takes long
// enough to be killed part-way; which is 0 or 1.
inline AppSettings settingsVariant(int which) {
    AppSettings s;
    const char letter = which ? 'n' : 'o';
    s.schStr = LStr(std::string(100000, letter));
    s.dspPreReplace = LStr(std::string(100000, letter) + "=x");
    s.minRate = which ? 90 : 80;
    return s;
}
