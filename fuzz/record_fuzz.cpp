// Fuzz target for record cutting: the input is a control byte, a separator
// pattern up to the first NUL, and the text. The text is read through a
// stream that hands out a few bytes per read, so separators straddle buffer
// refills. The records with their separators must give back the text, each
// record must stop at its limit (plus the rest of a character) and every
// call must consume something. The stop flag stays set, so separator tests
// end after a few thousand matcher steps per record, as after a cancel:
// pathological separators (the matcher's own business) do not hang, and
// cutting must stay sound however it goes.
#include <algorithm>
#include <cstdint>

#include "fuzz_support.h"
#include "pattern/first_bytes.h"
#include "pattern/parser.h"
#include "pattern/record_reader.h"
#include "support/stop_flag.h"
#include "text/memory_stream.h"

namespace {

class ChunkStream : public LMemStream {
public:
    ChunkStream(std::string_view data, int32_t maxChunk) : LMemStream(data), max_(maxChunk) {}
    int32_t read(void* buffer, int32_t count) override {
        return LMemStream::read(buffer, std::min(count, max_));
    }

private:
    int32_t max_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietMessages();
    stopFlag().store(1);
    std::string_view input = fuzz::asText(data, size);
    const unsigned control = fuzz::takeByte(input);
    const std::string_view pattern = fuzz::takeUntil(input, '\0');
    const std::string_view text = input;

    LRexPtr separator = compileRex(pattern, control & 7);
    LRexStartTable table{};
    if (separator) table = buildStartByteTable(*separator, 0);
    const bool useTable = separator && (control & 8);
    const int32_t chunk = 1 + int32_t(control >> 4) * 97;
    const int32_t peekLen = (control & 0x10) ? 3 : 100;
    const int32_t maxLen = (control & 0x20) ? 7 : 4096;

    ChunkStream below(text, chunk);
    LSrm stream(&below);
    std::string joined;
    for (;;) {
        LStr record;
        const int32_t sep = readUntilRex(stream, separator.get(), peekLen,
                                         useTable ? &table : nullptr, record, maxLen);
        if (record.empty()) break;
        if (sep < 0 || sep > record.length()) __builtin_trap();
        if (record.length() - sep > maxLen + 1) __builtin_trap();  // a cut keeps whole characters
        joined.append(record.view());
        if (joined.size() > text.size()) __builtin_trap();
    }
    if (joined != text) __builtin_trap();
    return 0;
}
