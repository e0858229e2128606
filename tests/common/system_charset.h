// Expected text for the tests, converted by the system's iconv rather than
// by the program's own tables, so a fault in those tables cannot hide itself.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/iconv_converter.h"

inline std::string systemConverted(std::string_view in, Charset from, Charset to) {
    std::string out(in.size() * 4 + 8, '\0');
    ConvertResult r =
        threadConverter(from, to).convert(in.data(), in.size(), out.data(), out.size());
    EXPECT_TRUE(r.complete) << in;
    out.resize(r.outUsed);
    return out;
}

// UTF-8 to Shift-JIS (CP932).
inline std::string systemSjis(std::string_view utf8) {
    return systemConverted(utf8, Charset::kUtf8, Charset::kCp932);
}
inline std::string sj(std::string_view utf8) {
    return systemSjis(utf8);
}
