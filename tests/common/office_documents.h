// Real office documents for the tests, made by LibreOffice from a text the
// test gives: the text is written as a flat OpenDocument file and converted
// with soffice --convert-to. Each soffice start costs about a second, so a
// test process makes every document once and keeps it until it ends.
#pragma once
#include <string>
#include <vector>

// A paragraph of a text document (UTF-8); "\t" is a tab and "\n" a line
// break inside the paragraph. newPage puts a page break before it.
struct Paragraph {
    std::string text;
    bool newPage = false;
};

// A named sheet of rows of cells (UTF-8); a cell of digits is a number, an
// empty one is left blank.
struct Sheet {
    std::string name;
    std::vector<std::vector<std::string>> rows;
};

// Whether soffice is on PATH; tests that need documents skip without it.
bool officeAvailable();

// The path of a document in format ("docx", "odt", "doc", "pdf", ...) that
// holds the paragraphs; empty when soffice could not make it.
std::string officeTextDocument(const std::vector<Paragraph>& paragraphs, const std::string& format);
// The same for a workbook ("xlsx", "ods", ...) of the sheets in their order.
std::string officeWorkbook(const std::vector<Sheet>& sheets, const std::string& format);
