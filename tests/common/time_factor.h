// Time bounds in tests are multiplied by kTimeFactor: the sanitizer build
// runs several times slower and raises it, so a bound scales instead of failing.
#pragma once

#ifndef QF_TIME_FACTOR
#define QF_TIME_FACTOR 1
#endif
inline constexpr int kTimeFactor = QF_TIME_FACTOR;
