// Record cutting: bytes are copied to the record until the separator matches
// anchored at a character start.
#include "pattern/record_reader.h"

#include <algorithm>

#include "support/ctype_table.h"
#include "text/buffered_stream.h"

namespace {
constexpr int kMaxCutOverrun = 100;

// Length of a match of separator anchored at the stream's read position.
int32_t separatorAt(LSrmBase& stream, LRex* separator, int32_t peekLen, LRexHitList& hits) {
    int32_t available = 0;
    const char* p = stream.peekBytes(peekLen, &available);
    LRexCursor c;
    c.cur = c.start = p;
    c.end = p + std::min(available, peekLen);
    hits.clear();
    c.hits = &hits;
    separator->reset();
    if (!separator->next(c, false)) return 0;
    return int32_t(c.cur - p);
}
}  // namespace

int32_t readUntilRex(LSrmBase& stream, LRex* separator, int32_t peekLen,
                     const LRexStartTable* table, LStr& record, int32_t maxLen) {
    LRexHitList hits;
    bool charStart = true;  // the next byte starts a character
    auto candidate = [&](unsigned char b) {
        return separator && charStart && (!table || (*table)[b]);
    };
    for (;;) {
        int32_t available = 0;
        const char* p = stream.peekBytes(LSrmBase::kMaxPeek, &available);
        if (available <= 0) return 0;
        // Copy the run of bytes where no separator can begin, up to maxLen.
        const int32_t room = std::max(maxLen - record.length(), 1);
        const int32_t limit = std::min(available, room);
        int32_t i = 0;
        for (; i < limit; ++i) {
            const unsigned char b = static_cast<unsigned char>(p[i]);
            if (candidate(b)) break;
            charStart = !(charStart && isLeadByte(b));
        }
        if (i > 0) {
            record.append(p, i);
            stream.skipBytes(i);
        }
        if (i < limit) {
            int32_t len = separatorAt(stream, separator, peekLen, hits);
            if (len > 0) {
                record.append(stream.peekBytes(len), len);
                stream.skipBytes(len);
                return len;
            }
            const unsigned char b = static_cast<unsigned char>(stream.readByte());
            record.append(char(b));
            charStart = !isLeadByte(b);
        }
        if (record.length() < maxLen) continue;
        // Cut after a whole character.
        for (int extra = 0; !charStart && extra < kMaxCutOverrun; ++extra) {
            int b = stream.readByte();
            if (b < 0) break;
            record.append(char(b));
            charStart = true;
        }
        return 0;
    }
}
