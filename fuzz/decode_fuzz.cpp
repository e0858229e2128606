// Fuzz target for decoding: a control byte picks a code page and an output
// room, the rest is the text. It is opened as a file through the text reader
// (byte-order marks, UTF-8 detection), decoded from the code page, converted
// by iconv in small pieces, and, taken as UTF-16, encoded and decoded again,
// which must give back every unit (escapes carry what the page lacks).
#include <cstdint>
#include <cstring>
#include <vector>

#include "convert/text_reader.h"
#include "fuzz_support.h"
#include "platform/iconv_converter.h"
#include "text/encoding.h"
#include "text/stream_reading.h"

namespace {

constexpr int kCodePages[] = {kCodePageAnsi, kCodePageUtf8, kCodePageEucJp};

void readAsFile(std::string_view text) {
    static fuzz::ScratchFile file("text.txt");
    std::unique_ptr<LSrmBase> reader = openTextReader(file.write(text));
    if (!reader) __builtin_trap();
    LStr all;
    readAllBytes(*reader, all);
}

void convertInPieces(std::string_view text, Charset from, Charset to, size_t room) {
    IconvConverter& converter = threadConverter(from, to);
    std::vector<char> out(room);
    const ConvertResult r = converter.convert(text.data(), text.size(), out.data(), room);
    if (r.inUsed > text.size() || r.outUsed > room || (r.complete && r.inUsed != text.size()))
        __builtin_trap();
}

void roundTrip(std::string_view bytes, int codePage) {
    std::u16string units(bytes.size() / 2, u'\0');
    std::memcpy(units.data(), bytes.data(), units.size() * 2);
    // Text that looks like an escape decodes as one; U+0000 ends a text.
    if (units.find_first_of(std::u16string_view(u"{\0", 2)) != std::u16string::npos) return;
    LStr encoded;
    wideToMb(units.data(), int32_t(units.size()), encoded, codePage, kUnicodeEscapePrefix,
             kUnicodeEscapeSuffix);
    LWStr decoded;
    mbToWide(encoded.data(), encoded.length(), decoded, codePage, kUnicodeEscapePrefix,
             kUnicodeEscapeSuffix);
    if (decoded.view() != std::u16string_view(units)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietMessages();
    std::string_view input = fuzz::asText(data, size);
    const unsigned control = fuzz::takeByte(input);
    const int codePage = kCodePages[(control & 3) % 3];
    const size_t room = 1 + ((control >> 2) & 15) * 5;

    readAsFile(input);
    LWStr wide;
    mbToWide(input.data(), int32_t(input.size()), wide, codePage, kUnicodeEscapePrefix,
             kUnicodeEscapeSuffix);
    const Charset charsets[] = {Charset::kCp932, Charset::kUtf8, Charset::kUtf16Le,
                                Charset::kEucJp};
    for (Charset from : charsets)
        for (Charset to : charsets)
            if (from != to) convertInPieces(input, from, to, room);
    roundTrip(input, codePage);
    return 0;
}
