// Fuzz target for the dictionary reader: any bytes, taken as a HONMON
// file. The table, every search-index tree and every section are read and
// decoded as a conversion would, at the tag level the input's fifth byte
// picks; nothing may read past the data, loop for ever or crash.
#include <cstdint>

#include "epwing/body_decoder.h"
#include "epwing/book_layout.h"
#include "epwing/epw_settings.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietMessages();
    const std::string_view input = fuzz::asText(data, size);
    BookBytes book = BookBytes::fromMemory(input);
    const BookLayout layout = readBookLayout(book);
    std::vector<BookKey> keys;
    for (const BookSection& section : layout.indexes)
        collectBookKeys(book, section.firstPage, keys);
    sortBookKeys(keys);

    EpwSettings settings;
    settings.tagLevel = size > 5 ? data[5] % 3 : 0;
    settings.keySeparator = "\n";
    settings.gaiji["A121"] = "(c)";
    BodyDecoder decoder(book, &settings);
    size_t written = 0;
    const BookOutput count = [&written](std::string_view text) {
        written += text.size();
        return true;
    };
    for (const auto* sections : {&layout.copyrights, &layout.bodies}) {
        for (const BookSection& section : *sections) {
            DecodeRange range;
            range.start = section.start();
            range.limit = section.end();
            range.keys = &keys;
            decoder.decode(range, count);
        }
    }
    return 0;
}
