// Fuzz target for the RTF reader: any bytes, taken as a document. The most text
// per input byte comes from a \uN of four bytes ("\u-1") that gives an escape
// of eight ("{%uFFFF}"), so the text is at most twice as long as the input.
#include <cstdint>

#include "convert/rtf_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietMessages();
    const std::string_view rtf = fuzz::asText(data, size);
    LStr text;
    if (!rtfToText(rtf, text) || size_t(text.length()) > 2 * rtf.size()) __builtin_trap();
    return 0;
}
