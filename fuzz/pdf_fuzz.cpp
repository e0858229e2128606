// Fuzz target for PDF text: the input is opened as a PDF file and its text
// read to the end. Refusing the file is fine; crashing, hanging or handing
// the sink a chunk with a stray break kind is not.
#include <cstdint>

#include "convert/pdf_filter.h"
#include "fuzz_support.h"

namespace {

class CheckingSink : public ChunkSink {
public:
    bool chunk(ChunkBreak before, std::u16string_view text) override {
        if (first_ != (before == ChunkBreak::None)) __builtin_trap();
        first_ = false;
        for (char16_t c : text)
            if (c == u'\r' || c == u'\f') __builtin_trap();
        return true;
    }

private:
    bool first_ = true;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::ScratchFile file("input.pdf");
    CheckingSink sink;
    extractPdf(file.write(fuzz::asText(data, size)), sink);
    return 0;
}
