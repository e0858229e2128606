#include "support/simd_level.h"

#include "platform/environment.h"

bool avx2Enabled() {
#ifdef __x86_64__
    static const bool enabled =
        __builtin_cpu_supports("avx2") && environmentVariable("QF_SIMD").value_or("") != "sse2";
    return enabled;
#else
    return false;
#endif
}
