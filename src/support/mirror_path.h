// The mirror of a source path under the index folder, and making its folders.
// Index files live under it, and so do converted texts of documents, which
// the conversion code forms below the index layer.
#pragma once
#include <string_view>

#include "base/lstr.h"

// The absolute form of the index folder, ending in "/"; empty for an empty one.
LStr ixFolderPrefix(std::string_view indexFolder);

// The index folder followed by "x_" and the absolute source path
// ("/home/a" -> "x_/home/a"; the root alone -> "x_"). The mirror roots of
// the other forms, "u_", "r_" and a drive letter with a backslash, are
// still recognised by the index code, but no POSIX source leads to them.
LStr ixMirrorPath(std::string_view indexFolder, std::string_view source);

// Makes the folders of relative below base, each a real folder: a link
// planted in the mirror tree must not carry files out of it.
bool makeFoldersWithoutLinks(std::string_view base, std::string_view relative);
