// Fuzz target for the RTF reader: any bytes, taken as a document. Every byte of
// text comes from at least one byte of input, so the text is never longer.
#include <cstdint>

#include "convert/rtf_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietMessages();
    const std::string_view rtf = fuzz::asText(data, size);
    LStr text;
    if (!rtfToText(rtf, text) || size_t(text.length()) > rtf.size()) __builtin_trap();
    return 0;
}
