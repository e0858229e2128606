// eb_text_dump BOOK_FOLDER: writes the body text of the first subbook as
// libeb reads it, entry by entry (EUC-JP, each entry followed by a line
// "<-->"). An independent reading of a book, to check the converter by.
#include <eb/eb.h>
#include <eb/error.h>
#include <eb/text.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: eb_text_dump BOOK_FOLDER\n");
        return 2;
    }
    EB_Book book;
    EB_Subbook_Code subbooks[EB_MAX_SUBBOOKS];
    int count = 0;
    EB_Position position;
    eb_initialize_library();
    eb_initialize_book(&book);
    if (eb_bind(&book, argv[1]) != EB_SUCCESS ||
        eb_subbook_list(&book, subbooks, &count) != EB_SUCCESS || count < 1 ||
        eb_set_subbook(&book, subbooks[0]) != EB_SUCCESS ||
        eb_text(&book, &position) != EB_SUCCESS || eb_seek_text(&book, &position) != EB_SUCCESS) {
        std::fprintf(stderr, "eb_text_dump: cannot read the book %s\n", argv[1]);
        return 1;
    }
    char text[4096];
    for (;;) {
        ssize_t length = 0;
        while (eb_read_text(&book, nullptr, nullptr, nullptr, sizeof text, text, &length) ==
                   EB_SUCCESS &&
               length > 0)
            std::fwrite(text, 1, size_t(length), stdout);
        std::fputs("\n<-->\n", stdout);
        if (eb_forward_text(&book, nullptr) != EB_SUCCESS) break;
    }
    eb_finalize_book(&book);
    eb_finalize_library();
    return 0;
}
