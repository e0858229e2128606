// The display base: the folder prefix that all searched folders share, cut
// from the paths that result lines show.
#pragma once
#include <vector>

#include "base/lstr.h"

struct SearchRequest;

// The common prefix of the folders, moved back to the end of a whole path
// component of the first folder (a lone folder is its own base); empty when
// they share no component.
LStr commonFolderBase(const std::vector<LStr>& folders);
// The path to show: with the base cut off when the path begins with it.
std::string_view displayPath(std::string_view path, std::string_view base);
// The base a run of the request cuts from its paths: the common folder base
// ending in "/", or empty (no shared component, or full paths wanted). A
// front end keeps it to read relative paths of the run's lines back.
LStr displayBaseOf(const SearchRequest& request);
