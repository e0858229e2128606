// Row lines for both spreadsheet formats.
#include "convert/office_xml_row.h"

void SheetRowLine::put(int column, std::string_view text) {
    if (column < columns_) column = columns_;
    if (column >= kMaxColumns) return;
    if (columns_ > 0) line_ += '\t';
    line_.append(static_cast<size_t>(column - columns_), '\t');
    line_ += text;
    columns_ = column + 1;
}

int columnOfReference(std::string_view reference) {
    int column = 0;
    size_t i = 0;
    for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z'; ++i) {
        column = column * 26 + (reference[i] - 'A' + 1);
        if (column > SheetRowLine::kMaxColumns) return SheetRowLine::kMaxColumns;
    }
    return i == 0 ? -1 : column - 1;
}
