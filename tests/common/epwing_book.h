// EpwingBook: writes small dictionary bodies (HONMON) for the tests: page 1
// holds the index table, every section starts on a page of its own, body
// text is given as 16-bit codes, and search-index pages are built one by
// one (so that damaged trees can be built too).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace epwbook {

// Codes of body text, big-endian.
std::string code(uint16_t value);
// A control code 0x1Fxx followed by its parameter bytes.
std::string control(uint8_t low, std::string_view parameters = {});
// Shift-JIS double-byte text as JIS X 0208 codes.
std::string jis(std::string_view sjis);
// An entry start (0x1F41 with two parameter bytes) followed by its text.
std::string entry(std::string_view sjis);

struct LeafKey {
    int64_t text;  // byte positions in the file
    int64_t heading;
};

class Book {
public:
    Book();
    // Adds a section of the given id holding bytes (padded to whole pages);
    // returns the byte position where its bytes begin.
    int64_t addSection(uint8_t id, std::string_view bytes, int32_t extraPages = 0);
    // The first page number the next section will get.
    int64_t nextPage() const { return int64_t(pages_.size() / 2048) + 2; }
    // A table entry as it is written, pages as given (damaged books).
    void addTableEntry(uint8_t id, uint32_t firstPage, uint32_t pageCount);
    // The book; byte 4 of the table is kind.
    std::string bytes(uint8_t kind = 0) const;

private:
    std::string pages_;  // every page after the table page
    std::vector<std::string> table_;
};

// A page of an index tree: an inner page pointing at children, or a leaf.
std::string innerPage(const std::vector<uint32_t>& children);
std::string leafPage(const std::vector<LeafKey>& keys);

}  // namespace epwbook
