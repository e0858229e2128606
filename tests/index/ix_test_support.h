// Index test helpers: index-file bytes by hand, message lines and a record
// separator.
#pragma once
#include <string>

#include "common/capture_sink.h"
#include "index/create_index.h"
#include "pattern/first_bytes.h"
#include "pattern/searcher.h"
#include "support/message_service.h"

namespace ixtest {

inline std::string u32le(uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

inline std::string header(int version) {
    return "QF  " + std::string(formatText("%04d", version).view()) + "      \r\n";
}

inline std::string blockRecord(int32_t pos, int32_t len, int32_t line, unsigned char sigFill) {
    return "s" + u32le(pos) + u32le(len) + u32le(line) + std::string(48, char(sigFill));
}

inline std::string entryRecord(std::string name, uint64_t lastWrite, uint32_t size,
                               std::string_view blocks) {
    return "F" + name + '\0' + u32le(lastWrite) + u32le(lastWrite >> 32) + u32le(size) +
           std::string(blocks) + "z";
}

// A message line of the result view, with the one "%s" of format filled in.
inline std::string messageLine(const char* format, const std::string& arg = {}) {
    std::string text = arg.empty() ? format : std::string(formatText(format, arg.c_str()).view());
    return std::string(1, '\x01') + "6 " + text + '\x01' + "0 \r\n";
}

// A compiled record separator as a search run would pass it.
struct LineSeparator {
    explicit LineSeparator(std::string_view pattern = "[\\n]")
        : searcher(pattern), table(buildStartByteTable(*searcher.rex(), 0)) {}
    IxRecordSeparator get() const { return {searcher.rex(), &table}; }
    LRexSearcher searcher;
    LRexStartTable table;
};

}  // namespace ixtest
