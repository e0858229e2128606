#include "common/epwing_book.h"

namespace epwbook {

namespace {

constexpr size_t kPage = 2048;

void put(std::string& out, uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(char((value >> (8 * i)) & 0xFF));
}

void padToPage(std::string& bytes) {
    bytes.resize((bytes.size() + kPage - 1) / kPage * kPage, '\0');
}

}  // namespace

std::string code(uint16_t value) {
    std::string out;
    put(out, value, 2);
    return out;
}

std::string control(uint8_t low, std::string_view parameters) {
    return code(uint16_t(0x1F00 | low)) + std::string(parameters);
}

// The inverse of the JIS to Shift-JIS mapping, written out on its own.
std::string jis(std::string_view sjis) {
    std::string out;
    for (size_t i = 0; i + 1 < sjis.size(); i += 2) {
        int lead = uint8_t(sjis[i]), trail = uint8_t(sjis[i + 1]);
        lead -= lead >= 0xE0 ? 0xB0 : 0x70;
        if (trail >= 0x9F) {
            out.push_back(char(lead * 2));
            out.push_back(char(trail - 0x7E));
        } else {
            out.push_back(char(lead * 2 - 1));
            out.push_back(char(trail - (trail >= 0x80 ? 0x20 : 0x1F)));
        }
    }
    return out;
}

std::string entry(std::string_view sjis) {
    return control(0x41, std::string("\x00\x01", 2)) + jis(sjis);
}

Book::Book() = default;

int64_t Book::addSection(uint8_t id, std::string_view bytes, int32_t extraPages) {
    const int64_t first = nextPage();
    const int64_t position = int64_t(pages_.size()) + int64_t(kPage);
    pages_.append(bytes);
    padToPage(pages_);
    pages_.append(size_t(extraPages) * kPage, '\0');
    addTableEntry(id, uint32_t(first), uint32_t(nextPage() - first));
    return position;
}

void Book::addTableEntry(uint8_t id, uint32_t firstPage, uint32_t pageCount) {
    std::string row(1, char(id));
    row.push_back('\0');
    put(row, firstPage, 4);
    put(row, pageCount, 4);
    row.resize(16, '\0');
    table_.push_back(row);
}

std::string Book::bytes(uint8_t kind) const {
    std::string out;
    put(out, table_.size(), 2);
    out.append(2, '\0');
    out.push_back(char(kind));
    out.resize(16, '\0');
    for (const std::string& row : table_) out += row;
    padToPage(out);
    return out + pages_;
}

std::string innerPage(const std::vector<uint32_t>& children) {
    std::string page(1, '\0');
    page.push_back(2);  // key length
    put(page, children.size(), 2);
    for (uint32_t child : children) {
        page.append("ab");
        put(page, child, 4);
    }
    return page;
}

std::string leafPage(const std::vector<LeafKey>& keys) {
    std::string page(1, char(0x80));
    page.push_back('\0');
    put(page, keys.size(), 2);
    for (const LeafKey& key : keys) {
        page.push_back(1);
        page.push_back('k');
        put(page, uint64_t(key.text / 2048 + 1), 4);
        put(page, uint64_t(key.text % 2048), 2);
        put(page, uint64_t(key.heading / 2048 + 1), 4);
        put(page, uint64_t(key.heading % 2048), 2);
    }
    return page;
}

}  // namespace epwbook
