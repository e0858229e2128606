// Fuzz target for the index file reader: the input is written as an index
// file and loaded. Whatever it holds, the reader must stay inside it, keep no
// block with a negative offset or length, and count every entry it keeps.
#include <cstdint>

#include "fuzz_support.h"
#include "index/ix_cache.h"
#include "index/ix_file.h"

namespace {

bool blocksPlausible(const TIxEntry& entry) {
    bool plausible = true;
    entry.blocks.forEach([&](const TIxBlock& block) {
        plausible = block.pos >= 0 && block.len >= 0;
        return plausible;
    });
    return plausible;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietMessages();
    static fuzz::ScratchFile file("docs.qfd");
    const std::string& path = file.write(fuzz::asText(data, size));

    TIxCache cache;
    loadIndexFile(cache, "/src/docs/a.txt", path);
    int32_t seen = 0;
    cache.forEach([&](const TIxEntry& entry) {
        ++seen;
        if (!blocksPlausible(entry)) __builtin_trap();
    });
    // Damage marks the cache dirty (it is written anew), so dirty is no fault.
    if (seen != cache.count()) __builtin_trap();
    return 0;
}
