// Replacement of pattern matches by templates. A template is literal text
// (with backslash escapes) and references: "\digit" (a group by number, "\0"
// the whole match) or "\{name}" (a named group).
#pragma once
#include <string_view>
#include <vector>

#include "pattern/searcher.h"

// Splits a template into literal runs and references.
std::vector<LRexPiece> parseReplacementTemplate(std::string_view replacementTemplate);

// Replaces every match of node (or of the pattern text) in text by the
// template; returns the number of replacements.
int32_t replaceAll(LStr& text, LRex* node, std::string_view replacementTemplate);
int32_t replaceAll(LStr& text, std::string_view pattern, std::string_view replacementTemplate);
