// The folder walk every part of the program uses: the search over the
// folders the user names, and the index folder's clean-ups. A folder's
// files come before its subfolders; the files go mask by mask, each mask's
// files in byte order, and a file selected by an earlier mask is not
// visited again. Subfolders follow in byte order. Hidden entries (names
// beginning with ".") and system entries (neither file nor folder) are
// never visited; symbolic links are followed, but a folder is never entered
// again from inside itself, so link cycles end.
#pragma once
#include <functional>
#include <string_view>
#include <vector>

#include "base/lstr.h"

// Called with the path of each file: the folder, "/" unless it already ends
// so, and the name (the bare name for an empty folder, which means the
// current one). A non-zero result ends the walk with that result.
using FileVisitor = std::function<int(const LStr& path)>;

// Walks folder, and its subfolders when withSubfolders is set, visiting the
// files the masks select. A mask without an extension selects only names
// without one ("*" does not select "a.txt"; "*.*" selects every name).
// Folders that cannot be read are passed over. Returns 0 when the walk
// completed, else the first non-zero visitor result.
int walkFolder(std::string_view folder, const std::vector<LStr>& masks, bool withSubfolders,
               const FileVisitor& visit);
