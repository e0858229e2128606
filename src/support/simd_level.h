// Which vector code the scanners run. AVX2 is used where the processor has
// it, unless QF_SIMD=sse2 is set in the environment: the tests run the
// scanners both ways, so that the SSE2 code of older processors is checked
// on machines that would never take it.
#pragma once

bool avx2Enabled();
