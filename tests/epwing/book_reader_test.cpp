// Reading a book's structure: what counts as a dictionary body, the index
// table checked against the file, and search-index trees walked to an end
// however they are damaged.
#include <gtest/gtest.h>

#include "common/epwing_book.h"
#include "common/temp_dir.h"
#include "epwing/book_keys.h"
#include "epwing/book_layout.h"

using namespace epwbook;

namespace {

TEST(BookLayout, BodyIsRecognisedByNameAndKind) {
    const struct {
        const char* name;
        uint8_t kind;
        bool body;
    } cases[] = {
        {"HONMON", 0, true},
        {"honmon", 2, true},
        {"HONMON", 3, false},
        {"honmon.txt", 0, false},
        {"xHONMON", 0, false},
    };
    for (const auto& c : cases) {
        TempDir dir;
        Book book;
        book.addSection(0x00, "x");
        EXPECT_EQ(isEpwingBody(dir.write(c.name, book.bytes(c.kind))), c.body) << c.name;
    }
    EXPECT_FALSE(isEpwingBody("/nonexistent/HONMON"));
}

TEST(BookLayout, SectionsAreSortedByKindAndCheckedAgainstTheFile) {
    Book book;
    book.addSection(0x00, "body", 1);  // pages 2 and 3
    book.addSection(0x21, "copy");     // page 4
    book.addSection(0x91, "index");    // page 5
    book.addSection(0x07, "other");    // page 6, ignored
    book.addTableEntry(0x00, 5, 100);  // runs past the end: cut to pages 5 and 6
    book.addTableEntry(0x00, 99, 1);   // beyond the end: dropped
    book.addTableEntry(0x02, 0, 1);    // page 0 does not exist
    BookBytes bytes = BookBytes::fromMemory(book.bytes());
    const BookLayout layout = readBookLayout(bytes);
    ASSERT_EQ(layout.bodies.size(), 2u);
    EXPECT_EQ(layout.bodies[0].firstPage, 2);
    EXPECT_EQ(layout.bodies[0].pageCount, 2);
    EXPECT_EQ(layout.bodies[1].pageCount, 2);
    EXPECT_EQ(layout.bodies[1].end(), bytes.size());
    ASSERT_EQ(layout.copyrights.size(), 1u);
    EXPECT_EQ(layout.copyrights[0].firstPage, 4);
    EXPECT_EQ(layout.indexes.size(), 1u);
    EXPECT_EQ(layout.clipped, 3);
}

// Trees as lists of pages starting at page 2 (page 1 is the table).
struct TreeCase {
    const char* name;
    std::vector<std::string> pages;
    size_t keys;
    int32_t badPages;
};

// A chain of inner pages one deeper than the walk goes.
std::vector<std::string> deepChain() {
    std::vector<std::string> pages;
    for (uint32_t i = 0; i <= uint32_t(kMaxIndexDepth); ++i) pages.push_back(innerPage({i + 3}));
    return pages;
}

std::vector<TreeCase> treeCases() {
    const LeafKey a{4096, 2048}, b{4100, 2050};
    return {
        {"deeper than the limit", deepChain(), 0, 1},
        {"leaf", {leafPage({b, a})}, 2, 0},
        {"inner over two leaves", {innerPage({3, 4}), leafPage({a}), leafPage({b, b})}, 3, 0},
        {"cycle through the root", {innerPage({3}), innerPage({2, 4}), leafPage({a})}, 1, 0},
        {"a child listed twice", {innerPage({3, 3}), leafPage({a})}, 1, 0},
        {"child beyond the file", {innerPage({3, 70000}), leafPage({a})}, 1, 1},
        {"leaf count past the page", {leafPage({a}).replace(2, 2, "\xFF\xFF")}, 1, 0},
        {"other page kinds are not read", {std::string("\x10\x02\x00\x01", 4)}, 0, 0},
    };
}

TEST(BookKeys, TreesAreWalkedToAnEnd) {
    for (const TreeCase& c : treeCases()) {
        std::string bytes(2048, '\0');
        for (std::string page : c.pages) bytes += page.append(2048 - page.size(), '\0');
        BookBytes book = BookBytes::fromMemory(bytes);
        std::vector<BookKey> keys;
        const KeyWalkResult walk = collectBookKeys(book, 2, keys);
        EXPECT_EQ(keys.size(), c.keys) << c.name;
        EXPECT_EQ(walk.badPages, c.badPages) << c.name;
    }
}

}  // namespace
