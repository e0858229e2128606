// Byte strings of which every match of a literal search string holds one,
// case and width folding included. A byte scan for them lets a search pass
// over text that cannot match without reading it record by record.
#pragma once
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "text/regularize.h"

class LRex;

// Empty when the string offers nothing such a scan could look for.
std::vector<LStr> literalNeedles(std::string_view key, FoldFlags fold);

// The same for a regular expression, from the literal pieces its matches
// must hold, folded as any of its nodes folds (a pattern may fold parts of
// itself).
// Empty for patterns with an ignore pattern, which may split a piece.
std::vector<LStr> patternNeedles(const LRex& root);
