// The writes the crash tests interrupt, shared by the writer program (which
// repeats them until it is killed) and the tests (which know what either
// side of an interrupted write must look like).
#pragma once
#include <string>
#include <vector>

#include "config/app_settings.h"

// Two configurations that differ in long values, so that a save takes long
// enough to be killed part-way; which is 0 or 1.
AppSettings settingsVariant(int which);

// The files of the index round: every *.txt directly in folder, sorted.
std::vector<std::string> roundFiles(const std::string& folder);

// One round of index upkeep over files as a search run does it: every file
// is made newer (round seconds after a fixed time), so its entry is rebuilt,
// and the index file is written back. False when the write failed.
bool indexRound(const std::string& indexFolder, const std::vector<std::string>& files, int round);
