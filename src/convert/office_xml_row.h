// One spreadsheet row being put together as a line: cells tab-separated at
// their column, empty columns as empty fields between, nothing past the last
// cell with text. Columns beyond the widest sheet are dropped, so a row
// cannot grow without bound.
#pragma once
#include <string>
#include <string_view>

class SheetRowLine {
public:
    static constexpr int kMaxColumns = 16384;

    void clear() {
        line_.clear();
        columns_ = 0;
    }
    // Puts a cell's text at a column (at the next one when column is before it).
    void put(int column, std::string_view text);
    // The column after the last cell put.
    int next() const { return columns_; }
    const std::string& line() const { return line_; }
    bool empty() const { return columns_ == 0; }

private:
    std::string line_;
    int columns_ = 0;
};

// "C12" -> 2 (columns from 0); -1 when the reference has no letters.
int columnOfReference(std::string_view reference);
