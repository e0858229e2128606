// Size classes of the program's allocations. Strings and arrays report the
// class-rounded size (less a 4-byte header) as their capacity, so growth
// steps stay the same on every platform.
#pragma once
#include <cstdint>

// Raises a request plus its 4-byte header to its size class and returns the
// usable size (class size minus header).
inline int32_t heapUsableSize(int64_t request) {
    int64_t n = request + 4;
    int64_t step = n <= 64 ? 4 : n <= 256 ? 16 : n <= 1024 ? 64 : n <= 4096 ? 256 : 4096;
    n = (n + step - 1) / step * step;
    return static_cast<int32_t>(n - 4);
}

// Capacity after a growth that needs `needed` units: 5/4 of it, class-rounded.
inline int32_t grownCapacity(int64_t needed, int unitSize) {
    int64_t want = needed + needed / 4;
    return heapUsableSize(want * unitSize) / unitSize;
}
