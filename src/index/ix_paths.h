// Where index data lives: the mirror of a source path under the index
// folder, the way back from a mirrored path to its source, and the index
// file that holds the entry of a source file. Paths are Shift-JIS; "/" is
// the separator and a backslash is an ordinary name byte. Every function
// takes source paths and the index folder in their absolute form
// (absolutePath), so one file has one mirror whatever folder the user
// typed and wherever the program runs.
#pragma once
#include <string_view>

#include "base/lstr.h"
#include "support/mirror_path.h"  // ixMirrorPath

// Undoes ixMirrorPath: strips the index folder when path begins with it,
// then maps the mirror root back to the source form.
LStr ixSourcePath(std::string_view indexFolder, std::string_view path);

// The index file of a source file: the mirror of its folder plus ".qfd", so
// all files of a folder share one index file; a converted dictionary body
// ".../HONMON.txt" inside the index folder has "HONMON.qfd" beside it.
LStr ixIndexFileOf(std::string_view indexFolder, std::string_view sourceFile);

// Whether path lies in the index folder under one of the mirror roots, that
// is, where the program itself puts index files and converted texts.
bool ixUnderMirrorRoot(std::string_view indexFolder, std::string_view path);

// The rows file that goes with an index file: its ".qfd" becomes ".qfr".
LStr ixRowsFileOf(std::string_view indexFile);
