// The folder walk of a search: files of a folder before its subfolders, mask
// by mask, each mask's files in byte order; hidden and system entries are
// skipped and no folder is entered again from inside itself.
#pragma once
#include <functional>
#include <string_view>
#include <vector>

#include "base/lstr.h"

// Called for each file; a non-zero result ends the walk with that result.
using FileVisitor = std::function<int(const LStr& path)>;

// Returns 0 when the walk completed, else the first non-zero visitor result.
int walkFolder(std::string_view folder, const std::vector<LStr>& masks, bool withSubfolders,
               const FileVisitor& visit);
