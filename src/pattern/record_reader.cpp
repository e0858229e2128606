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
    bool charStart = true;  // the byte in hand starts a character
    int b = stream.readByte();
    if (b < 0) return 0;
    for (;;) {
        if (separator && charStart && (!table || (*table)[b])) {
            stream.seek(stream.tell() - 1);
            int32_t len = separatorAt(stream, separator, peekLen, hits);
            if (len > 0) {
                record.append(stream.peekBytes(len), len);
                stream.skipBytes(len);
                return len;
            }
            b = stream.readByte();
        }
        record.append(char(b));
        charStart = !(charStart && isLeadByte(static_cast<unsigned char>(b)));
        if (record.length() >= maxLen) {
            // Cut after a whole character.
            for (int extra = 0; !charStart && extra < kMaxCutOverrun; ++extra) {
                b = stream.readByte();
                if (b < 0) break;
                record.append(char(b));
                charStart = true;
            }
            return 0;
        }
        b = stream.readByte();
        if (b < 0) return 0;
    }
}
