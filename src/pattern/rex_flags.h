// Flag bits of pattern nodes and of compile calls. A node copies the parser's
// current flags when it is made; compile calls take the same bits plus
// RexWords.
#pragma once
#include <cstdint>

enum RexFlag : uint32_t {
    RexIgnoreCase = 0x1,     // letters compare without case
    RexWords = 0x2,          // compile only: the match must stand between type boundaries
    RexIgnoreWidth = 0x4,    // full-width and half-width forms compare equal
    RexCustomRef = 0x8,      // reference resolved by the custom-function hook
    RexOwnsIgnore = 0x1000,  // the node was the first to receive its ignore pattern
};

// Compile flags that become node flags.
inline constexpr uint32_t kRexNodeFlagsMask = RexIgnoreCase | RexIgnoreWidth;

// Unbounded repetition count.
inline constexpr int32_t kRexUnbounded = 0x7FFFFFFF;
