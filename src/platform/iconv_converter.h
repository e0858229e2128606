// Character-set conversion through the C library's iconv. Each thread keeps
// one open converter per direction, so converting text in many small chunks
// costs no repeated opens and needs no lock.
#pragma once
#include <cstddef>

enum class Charset { kCp932, kUtf8, kUtf16Le, kEucJp };
inline constexpr int kCharsetCount = 4;

struct ConvertResult {
    size_t inUsed = 0;      // input bytes converted
    size_t outUsed = 0;     // output bytes written
    bool complete = false;  // every input byte converted: nothing invalid,
                            // unmappable, cut off, or beyond the output room
};

class IconvConverter {
public:
    IconvConverter(Charset from, Charset to);
    ~IconvConverter();
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    bool valid() const;
    // Converts in[0, inBytes) into out. Conversion stops at the first input
    // the target cannot take; no substitute characters are ever written.
    ConvertResult convert(const void* in, size_t inBytes, void* out, size_t outCapacity);

private:
    void* cd_;  // the iconv descriptor
};

// The calling thread's converter for one direction, opened on first use.
IconvConverter& threadConverter(Charset from, Charset to);
