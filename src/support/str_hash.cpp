// Multipliers: 1, 23, 13, 2, 17, then the other primes below 1000 ascending.
#include "support/str_hash.h"

#include <array>
#include <cstring>

namespace {

constexpr int kMultiplierCount = 169;

constexpr bool isPrime(uint32_t n) {
    if (n < 2) return false;
    for (uint32_t d = 2; d * d <= n; ++d)
        if (n % d == 0) return false;
    return true;
}

constexpr std::array<uint32_t, kMultiplierCount> makeMultipliers() {
    std::array<uint32_t, kMultiplierCount> m{1, 23, 13, 2, 17};
    int k = 5;
    for (uint32_t p = 3; p < 1000; ++p)
        if (isPrime(p) && p != 13 && p != 17 && p != 23) m[k++] = p;
    return m;
}

constexpr auto kMultipliers = makeMultipliers();
static_assert(kMultipliers[5] == 3 && kMultipliers[168] == 997);

}  // namespace

uint32_t strHash(std::string_view bytes) {
    uint32_t h = 0;
    int k = 0;
    for (unsigned char b : bytes) {
        h += b * kMultipliers[k];
        if (++k == kMultiplierCount) k = 0;
    }
    return h;
}

uint32_t strHash(const char* text) {
    return text ? strHash(std::string_view(text, std::strlen(text))) : 0;
}
