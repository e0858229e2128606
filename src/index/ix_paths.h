// Where index data lives: the mirror of a source path under the index
// folder, the way back from a mirrored path to its source, and the index
// file that holds the entry of a source file. Paths are Shift-JIS; "/" is
// the separator and a backslash is an ordinary name byte.
#pragma once
#include <string_view>

#include "base/lstr.h"

// The index folder followed by the mirrored relative path of source:
//   letter ":" "\" rest  ->  letter "\" rest
//   letter ":" rest      ->  "r_" letter "\" rest
//   "\\" rest            ->  "u_" rest
//   anything else        ->  "x_" source      (every POSIX path: "x_/home/a")
// "." and ".." components and doubled separators are resolved in the
// mirrored part, so no source path can lead out of the index folder.
LStr ixMirrorPath(std::string_view indexFolder, std::string_view source);

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
