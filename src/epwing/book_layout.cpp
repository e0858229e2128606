#include "epwing/book_layout.h"

#include <algorithm>

#include "support/path_utils.h"
#include "text/sjis.h"

namespace {

constexpr int32_t kTableEntrySize = 16;
// Entries that fit on the first page after the table head.
constexpr uint32_t kMaxTableEntries = (kBookPageSize - kTableEntrySize) / kTableEntrySize;

std::vector<BookSection>* kindOf(BookLayout& layout, uint8_t id) {
    switch (id) {
        case 0x00:
            return &layout.bodies;
        case 0x02:
        case 0x21:
        case 0x23:
            return &layout.copyrights;
        case 0x81:
        case 0x90:
        case 0x91:
            return &layout.indexes;
        default:
            return nullptr;
    }
}

}  // namespace

bool isEpwingBody(std::string_view path) {
    // Every searched file comes here: most are turned away by their last
    // bytes before their name is worked out.
    constexpr std::string_view kBody = "HONMON";
    if (path.size() < kBody.size() ||
        compareIgnoreCase(path.substr(path.size() - kBody.size()), kBody) != 0)
        return false;
    if (compareIgnoreCase(namePart(path).view(), kBody) != 0) return false;
    BookBytes book(path);
    uint32_t kind = 0;
    return book.readNumber(4, 1, kind) && kind <= 2;
}

BookLayout readBookLayout(BookBytes& book) {
    BookLayout layout;
    uint32_t count = 0;
    if (!book.readNumber(0, 2, count)) return layout;
    count = std::min(count, kMaxTableEntries);
    const int64_t pagesInFile = (book.size() + kBookPageSize - 1) / kBookPageSize;
    for (uint32_t i = 0; i < count; ++i) {
        const int64_t entry = kTableEntrySize + int64_t(i) * kTableEntrySize;
        uint32_t id = 0, first = 0, pages = 0;
        if (!book.readNumber(entry, 1, id) || !book.readNumber(entry + 2, 4, first) ||
            !book.readNumber(entry + 6, 4, pages))
            break;
        std::vector<BookSection>* kind = kindOf(layout, uint8_t(id));
        if (!kind) continue;
        if (first < 1 || first > pagesInFile || pages < 1) {
            ++layout.clipped;
            continue;
        }
        BookSection section{uint8_t(id), first, pages};
        if (section.firstPage + section.pageCount - 1 > pagesInFile) {
            section.pageCount = pagesInFile - section.firstPage + 1;
            ++layout.clipped;
        }
        kind->push_back(section);
    }
    return layout;
}
