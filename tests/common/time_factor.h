// Time bounds in tests: sanitized builds run several times slower, so every
// bound on how long something may take is scaled by the build's factor
// instead of failing there.
#pragma once
#include <chrono>

#ifndef QF_TIME_FACTOR
#define QF_TIME_FACTOR 1
#endif

inline constexpr int kTimeFactor = QF_TIME_FACTOR;

// A bound of d in a plain build.
template <class Rep, class Period>
constexpr auto timeBound(std::chrono::duration<Rep, Period> d) {
    return d * kTimeFactor;
}
