// The layout of a dictionary body file (HONMON): the index table on its
// first page lists the sections of body text, copyright notice and search
// indexes by page. Sections are checked against the file size here, so the
// readers after this never meet a page the file does not hold.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "epwing/book_bytes.h"

struct BookSection {
    uint8_t id = 0;
    int64_t firstPage = 0;  // from 1
    int64_t pageCount = 0;

    int64_t start() const { return bookPosition(firstPage); }
    int64_t end() const { return bookPosition(firstPage + pageCount); }
};

struct BookLayout {
    std::vector<BookSection> bodies;      // id 0x00
    std::vector<BookSection> copyrights;  // ids 0x02, 0x21, 0x23
    std::vector<BookSection> indexes;     // ids 0x81, 0x90, 0x91
    int32_t clipped = 0;                  // sections cut to the file or dropped
};

// Whether the file is a dictionary body: named HONMON (any case) and its
// fifth byte 0, 1 or 2.
bool isEpwingBody(std::string_view path);

// The sections of the book in table order. A section that starts beyond
// the file is dropped and one that runs past it is cut at the last page the
// file holds (both counted in clipped).
BookLayout readBookLayout(BookBytes& book);
