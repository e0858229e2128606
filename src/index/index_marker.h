// The marker file that tells an index folder made by this program from any
// other folder. The index folder is created only through ensureIndexFolder,
// which leaves the marker in it; the deletion worker touches nothing in a
// folder without it, so pointing the index folder at a user's own folder
// can never cost the user files.
#pragma once
#include <string_view>

#include "base/lstr.h"

inline constexpr char kIndexMarkerName[] = ".quillfind-index";

// The marker's path in indexFolder.
LStr indexMarkerPath(std::string_view indexFolder);
// Makes sure the index folder exists. A missing folder is created with its
// parents and marked; an existing empty one is marked too (nothing in it can
// be anybody else's yet). An existing folder with other content is used as
// it is, unmarked. False when the folder is not there afterwards.
bool ensureIndexFolder(std::string_view indexFolder);
bool hasIndexMarker(std::string_view indexFolder);
