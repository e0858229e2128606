#include "support/candidate_scan.h"

#include <string.h>

#include <algorithm>

namespace {

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// One past the last CR or LF in [p, end), or p when there is none.
const char* lineStartBefore(const char* p, const char* end) {
    const auto* lf = static_cast<const char*>(memrchr(p, '\n', size_t(end - p)));
    const auto* cr = static_cast<const char*>(memrchr(p, '\r', size_t(end - p)));
    const char* last = std::max(lf ? lf : p - 1, cr ? cr : p - 1);
    return last + 1;
}

}  // namespace

const char* CheckedCandidateScan::find(const char* p, const char* end) const {
    while (p < end) {
        const char* place = first_.find(p, end);
        if (place == end) return end;
        const char* lineEnd = std::find_if(place, end, isLineEnd);
        // A line cut by the range's end is seen whole on a later call.
        if (lineEnd == end) return end;
        const char* lineStart = lineStartBefore(p, place);
        if (check_.find(lineStart, lineEnd) != lineEnd) return place;
        p = lineEnd + 1;
    }
    return end;
}
