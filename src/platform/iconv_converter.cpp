// The iconv wrapper: one descriptor per converter, reset before every chunk
// so no shift state leaks from one conversion into the next.
#include "platform/iconv_converter.h"

#include <iconv.h>

#include <array>
#include <memory>

namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

const char* charsetName(Charset c) {
    switch (c) {
        case Charset::kCp932:
            return "CP932";
        case Charset::kUtf8:
            return "UTF-8";
        case Charset::kUtf16Le:
            return "UTF-16LE";
        case Charset::kEucJp:
            return "EUC-JP-MS";
    }
    return "CP932";
}

iconv_t descriptor(void* cd) {
    return static_cast<iconv_t>(cd);
}

}  // namespace

IconvConverter::IconvConverter(Charset from, Charset to)
    : cd_(iconv_open(charsetName(to), charsetName(from))) {}

IconvConverter::~IconvConverter() {
    if (valid()) iconv_close(descriptor(cd_));
}

bool IconvConverter::valid() const {
    return descriptor(cd_) != kNoDescriptor;
}

ConvertResult IconvConverter::convert(const void* in, size_t inBytes, void* out,
                                      size_t outCapacity) {
    ConvertResult result;
    if (!valid()) return result;
    iconv_t cd = descriptor(cd_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = static_cast<char*>(const_cast<void*>(in));
    char* dst = static_cast<char*>(out);
    size_t srcLeft = inBytes;
    size_t dstLeft = outCapacity;
    bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1) && srcLeft == 0;
    if (ok) ok = iconv(cd, nullptr, nullptr, &dst, &dstLeft) != size_t(-1);
    result.inUsed = inBytes - srcLeft;
    result.outUsed = outCapacity - dstLeft;
    result.complete = ok;
    return result;
}

IconvConverter& threadConverter(Charset from, Charset to) {
    thread_local std::array<std::unique_ptr<IconvConverter>, kCharsetCount * kCharsetCount> all;
    auto& slot = all[int(from) * kCharsetCount + int(to)];
    if (!slot) slot = std::make_unique<IconvConverter>(from, to);
    return *slot;
}
