// Start-byte tables: for an offset k, the bytes that can stand at offset k of
// a match. A search skips start positions whose bytes are not in the tables;
// a table that cannot be computed allows every byte.
#pragma once
#include <array>

#include "pattern/nodes/rex.h"

using LRexStartTable = std::array<bool, 256>;

// Byte sets of this size or more are not worth a table.
inline constexpr int kRexMaxStartBytes = 31;

LRexStartTable buildStartByteTable(const LRex& root, int k);
// Whether the table allows every byte.
bool allowsAllBytes(const LRexStartTable& table);
