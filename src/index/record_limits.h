// Limits of one record read. The search and the index builder cut records
// with the same limits: were they to differ, a block's bytes would not be the
// records the search reads, and the index could hide a hit.
#pragma once
#include <cstdint>

// Bytes looked ahead for the record separator at a time.
inline constexpr int32_t kRecordPeekLength = 100;
// A record is cut after this many bytes even without a separator.
inline constexpr int32_t kRecordMaxLength = 10000;
