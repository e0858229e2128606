#include "epwing/book_keys.h"

#include <algorithm>
#include <unordered_set>

namespace {

constexpr uint8_t kKindMask = 0x90;
constexpr uint8_t kLeafKind = 0x80;
constexpr int32_t kProgressEvery = 1000;

class KeyWalk {
public:
    KeyWalk(BookBytes& book, std::vector<BookKey>& keys,
            const std::function<bool(int64_t)>& progress)
        : book_(book), keys_(keys), progress_(progress) {}

    void page(int64_t number, int32_t depth);
    KeyWalkResult result;

private:
    void inner(int64_t start, uint32_t keyLength, uint32_t count, int32_t depth);
    void leaf(int64_t start, uint32_t count);
    bool addKey(const BookKey& key);

    BookBytes& book_;
    std::vector<BookKey>& keys_;
    const std::function<bool(int64_t)>& progress_;
    std::unordered_set<int64_t> visited_;
};

void KeyWalk::page(int64_t number, int32_t depth) {
    if (result.stopped) return;
    const int64_t start = bookPosition(number);
    uint32_t kind = 0, keyLength = 0, count = 0;
    // Books list the last child of an inner page twice, so a page seen
    // before is passed over without complaint; that also ends a cycle.
    if (!visited_.insert(number).second) return;
    if (number < 1 || depth > kMaxIndexDepth || !book_.readNumber(start, 1, kind) ||
        !book_.readNumber(start + 1, 1, keyLength) || !book_.readNumber(start + 2, 2, count)) {
        ++result.badPages;
        return;
    }
    if ((kind & kKindMask) == 0)
        inner(start + 4, keyLength, count, depth);
    else if ((kind & kKindMask) == kLeafKind)
        leaf(start + 4, count);
}

// Entries run on within the page's bytes only; a count that claims more
// ends at the page end.
void KeyWalk::inner(int64_t pos, uint32_t keyLength, uint32_t count, int32_t depth) {
    const int64_t pageEnd = pos - 4 + kBookPageSize;
    for (uint32_t i = 0; i < count && pos + keyLength + 4 <= pageEnd; ++i) {
        uint32_t child = 0;
        if (!book_.readNumber(pos + keyLength, 4, child)) return;
        pos += keyLength + 4;
        page(child, depth + 1);
        if (result.stopped) return;
    }
}

void KeyWalk::leaf(int64_t pos, uint32_t count) {
    const int64_t pageEnd = pos - 4 + kBookPageSize;
    for (uint32_t i = 0; i < count && pos < pageEnd; ++i) {
        uint32_t keyLength = 0, textPage = 0, textOffset = 0, headPage = 0, headOffset = 0;
        if (!book_.readNumber(pos, 1, keyLength)) return;
        const int64_t at = pos + 1 + keyLength;
        if (at + 12 > pageEnd || !book_.readNumber(at, 4, textPage) ||
            !book_.readNumber(at + 4, 2, textOffset) || !book_.readNumber(at + 6, 4, headPage) ||
            !book_.readNumber(at + 10, 2, headOffset))
            return;
        pos = at + 12;
        if (textPage == 0 || headPage == 0) continue;  // pages count from 1: no key
        if (!addKey({bookPosition(textPage, textOffset), bookPosition(headPage, headOffset)}))
            return;
    }
}

bool KeyWalk::addKey(const BookKey& key) {
    keys_.push_back(key);
    if (keys_.size() % kProgressEvery == 0 && progress_ && !progress_(int64_t(keys_.size())))
        result.stopped = true;
    return !result.stopped;
}

}  // namespace

KeyWalkResult collectBookKeys(BookBytes& book, int64_t rootPage, std::vector<BookKey>& keys,
                              const std::function<bool(int64_t)>& progress) {
    KeyWalk walk(book, keys, progress);
    walk.page(rootPage, 0);
    return walk.result;
}

void sortBookKeys(std::vector<BookKey>& keys) {
    std::sort(keys.begin(), keys.end());
}
