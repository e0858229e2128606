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
// Whether the marker is there as a regular file: a link in its place does
// not make a folder the program's.
bool hasIndexMarker(std::string_view indexFolder);
// Writes one of the index folder's own small files as the index files are
// written: to a temporary file beside it, renamed over path. A link standing
// at path is replaced, its target untouched. False when any step failed.
bool writeIndexFolderFile(std::string_view path, std::string_view text);
