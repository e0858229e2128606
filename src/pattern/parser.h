// Compiling pattern texts into node trees.
//
// The pattern language is a regular-expression dialect over Shift-JIS text
// with width folding, character-type boundaries, an ignorable-text pattern,
// named groups and "{@...}" directives. A pattern text never fails to
// compile: every defect is reported as a warning (35000, or 35001 for an
// illegal expression) and the parser recovers, so the result is always some
// tree (null only for an empty text). The caller owns the tree.
#pragma once
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "pattern/nodes/rex.h"
#include "pattern/rex_flags.h"

// Compile flags: RexIgnoreCase, RexIgnoreWidth, RexWords.
LRexPtr compileRex(std::string_view pattern, uint32_t compileFlags = 0);
// The whole text matches literally.
LRexPtr compileLiteral(std::string_view text, uint32_t compileFlags = 0);
// The text with every single-byte ".?*+{[^$|()\" escaped.
LStr escapeRex(std::string_view text);

// One pattern per text (null entries for empty texts).
std::vector<LRexPtr> compileRexList(const std::vector<LStr>& patterns, uint32_t compileFlags = 0);
// All pattern texts joined into one alternation; null for a null list.
LRexPtr compileRexOr(const std::vector<LStr>* patterns, uint32_t compileFlags = 0);
// All texts as literals joined into one alternation.
LRexPtr compileLiteralOr(const std::vector<LStr>& texts, uint32_t compileFlags = 0);
// Nodes joined into one alternation (null entries are left out).
LRexPtr joinOr(std::vector<LRexPtr> nodes);

// Deepest nesting of groups the parser accepts; deeper text is dropped with
// a warning so that no pattern can exhaust the stack.
inline constexpr int kRexMaxNesting = 200;
