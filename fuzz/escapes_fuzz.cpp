// Fuzz target for the escape parser and the printable form: decoding runs
// over every input, and the printable form must hold no control byte.
#include <cstdint>

#include "fuzz_support.h"
#include "text/escapes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietMessages();
    const std::string_view input = fuzz::asText(data, size);

    LStr text(input);
    unescape(text);
    LStr one;
    for (size_t pos = 0; pos < input.size(); ++pos) decodeEscape(input.substr(pos), one);

    LStr shown;
    printable(input, shown);
    for (char c : shown.view()) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) __builtin_trap();
    }
    return 0;
}
