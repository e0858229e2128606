// Record cutting: bytes are copied to the record until the separator matches
// anchored at a character start. The bytes between possible separator starts
// are found by scanning the stream's buffer and copied as whole runs.
#include "pattern/record_reader.h"

#include <algorithm>
#include <cstring>

#include "pattern/next_match.h"
#include "pattern/sjis_scan.h"
#include "support/byte_scan.h"
#include "support/stop_flag.h"
#include "text/buffered_stream.h"

namespace {
constexpr int kMaxCutOverrun = 100;

// Length of a match of separator anchored at the stream's read position.
// A cancel ends a pathological separator match (and makes it no match).
int32_t separatorAt(LSrmBase& stream, LRex* separator, int32_t peekLen, LRexHitList& hits,
                    LRexStopControl& control) {
    int32_t available = 0;
    const char* p = stream.peekBytes(peekLen, &available);
    LRexCursor c;
    c.cur = c.start = p;
    c.end = p + std::min(available, peekLen);
    hits.clear();
    c.hits = &hits;
    c.control = &control;
    separator->reset();
    if (!separator->next(c, false)) return 0;
    return int32_t(c.cur - p);
}

// The finder over table (none: no byte). Records are cut one call at a
// time, mostly with the same table, so each thread keeps the last finder.
const ByteSetFinder& startBytes(const LRexStartTable* table) {
    static const LRexStartTable kNoBytes{};
    thread_local LRexStartTable last{};
    thread_local ByteSetFinder finder(last);
    const LRexStartTable& wanted = table ? *table : kNoBytes;
    if (std::memcmp(wanted.data(), last.data(), sizeof last) != 0) {
        last = wanted;
        finder = ByteSetFinder(last);
    }
    return finder;
}

// Length of the leading run of p[0, limit) (limit >= 1) that holds no
// possible separator start. *charStart tells on entry whether p starts a
// character, and on exit whether the byte after the run does.
int32_t plainRun(const char* p, int32_t limit, const ByteSetFinder* starts, bool* charStart) {
    const char* end = p + limit;
    const char* known = *charStart ? p : p + 1;  // a character start
    for (const char* q = known; starts && q < end; q = known) {
        q = starts->find(q, end);
        if (q == end) break;
        if (isCharStart(known, q)) {
            *charStart = true;
            return int32_t(q - p);
        }
        known = q + 1;  // q was a second byte; a character starts after it
    }
    *charStart = isCharStart(known, end);
    return limit;
}

// A record that reached maxLen ends after a whole character.
void finishCutRecord(LSrmBase& stream, LStr& record, bool charStart) {
    for (int extra = 0; !charStart && extra < kMaxCutOverrun; ++extra) {
        int b = stream.readByte();
        if (b < 0) break;
        record.append(char(b));
        charStart = true;
    }
}

bool isLineByte(char b) {
    return b == '\n' || b == '\r';
}

}  // namespace

int32_t readLineRecord(LSrmBase& stream, int32_t peekLen, LStr& record, int32_t maxLen) {
    static const LRexStartTable kLineBytes = [] {
        LRexStartTable t{};
        t['\n'] = t['\r'] = true;
        return t;
    }();
    static const ByteSetFinder starts(kLineBytes);
    bool charStart = true;
    for (;;) {
        int32_t available = 0;
        const char* p = stream.peekBytes(1, &available);
        if (available <= 0) return 0;
        const int32_t limit = std::min(available, std::max(maxLen - record.length(), 1));
        const int32_t i = plainRun(p, limit, &starts, &charStart);
        if (i > 0) {
            record.append(p, i);
            stream.skipBytes(i);
        }
        if (i < limit) {
            // The longest run of line bytes the separator can see.
            int32_t visible = 0;
            const char* q = stream.peekBytes(peekLen, &visible);
            const int32_t n = std::min(visible, peekLen);
            int32_t len = 1;
            while (len < n && isLineByte(q[len])) ++len;
            record.append(q, len);
            stream.skipBytes(len);
            return len;
        }
        if (record.length() >= maxLen) {
            finishCutRecord(stream, record, charStart);
            return 0;
        }
    }
}

int32_t readUntilRex(LSrmBase& stream, LRex* separator, int32_t peekLen,
                     const LRexStartTable* table, LStr& record, int32_t maxLen) {
    LRexHitList hits;
    LRexStopControl control;
    control.setFlag(&stopFlag());
    bool charStart = true;  // the next byte starts a character
    const ByteSetFinder& starts = startBytes(table);
    for (;;) {
        // What is buffered is scanned as it stands; only an empty buffer is
        // refilled here, so the buffer slides once per refill, not per record.
        int32_t available = 0;
        const char* p = stream.peekBytes(1, &available);
        if (available <= 0) return 0;
        const int32_t room = std::max(maxLen - record.length(), 1);
        const int32_t limit = std::min(available, room);
        int32_t i = 0;
        if (separator && !table) {
            // Every character start is a candidate: at most a second byte
            // goes before the next one.
            i = charStart ? 0 : 1;
            charStart = true;
        } else {
            i = plainRun(p, limit, separator ? &starts : nullptr, &charStart);
        }
        if (i > 0) {
            record.append(p, i);
            stream.skipBytes(i);
        }
        if (i < limit) {
            int32_t len = separatorAt(stream, separator, peekLen, hits, control);
            if (len > 0) {
                record.append(stream.peekBytes(len), len);
                stream.skipBytes(len);
                return len;
            }
            // No separator starts here (an empty match counts as none): the
            // character goes into the record whole.
            int32_t ahead = 0;
            const char* q = stream.peekBytes(2, &ahead);
            const int32_t step = nextSearchStart(std::string_view(q, std::min(ahead, 2)), 0, len);
            record.append(q, step);
            stream.skipBytes(step);
            charStart = true;
        }
        if (record.length() < maxLen) continue;
        finishCutRecord(stream, record, charStart);
        return 0;
    }
}
