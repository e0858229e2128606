// Index blocks hold whole records as the record separator in force cut
// them; a search with another separator would read a block's records across
// its ends and show different records. The index folder therefore remembers
// the separator its index files were cut with, and a run with another one
// drops them before it uses any (they are rebuilt on demand). Blocks also
// hold offsets into the text as it was decoded, so whether texts without a
// byte-order mark were decoded belongs to the same key.
#pragma once
#include <string_view>

#include "base/lstr.h"

inline constexpr char kIndexSeparatorName[] = ".quillfind-separator";

// The path of the file that holds the separator, in indexFolder.
LStr indexSeparatorPath(std::string_view indexFolder);
// The key the index files of a run are cut with: the separator as the
// settings hold it, and a second line when texts without a mark are read
// undecoded (so folders indexed with detection on keep their files).
LStr indexCutKey(std::string_view separatorEsc, bool autoDetectCharset);
// Makes sure the index files in indexFolder were cut with separatorEsc (the
// separator as the settings hold it). When the folder remembers another
// separator, or none, its index files are deleted and separatorEsc is
// remembered. A folder without the program's marker is left alone. Returns
// the number of index files deleted.
int matchIndexSeparator(std::string_view indexFolder, std::string_view separatorEsc);
