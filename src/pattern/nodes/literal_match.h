// Comparison of a literal string with the text at a cursor, forward or
// backward, with the case and width folding a node's flags ask for. Shared by
// literal nodes and back references.
#pragma once
#include <cstdint>
#include <string_view>

#include "pattern/nodes/rex.h"

// Whether scanning s by characters leaves a lead byte without its trail.
bool endsWithLoneLead(std::string_view s);

// Whether two character codes are equal under the folding flags.
bool foldedEqual(int a, int b, uint32_t flags);

// The position after the text matching lit at c.cur, or null.
const char* matchLiteralForward(std::string_view lit, bool loneLeadEnd, const LRexCursor& c,
                                uint32_t flags);
// The position where the text matching lit and ending at c.cur begins, or null.
const char* matchLiteralBackward(std::string_view lit, const LRexCursor& c, uint32_t flags);
