// Documents made by LibreOffice, as users have them: each format's converted
// text holds the paragraphs, pages and sheets in order behind the separator
// lines. Skipped where soffice is not installed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/office_documents.h"
#include "common/system_charset.h"
#include "common/temp_dir.h"
#include "convert/text_reader.h"
#include "text/stream_reading.h"

namespace {

// The converted text of a document, empty when it is read as it is.
std::string convertedText(const std::string& path, const std::string& indexFolder) {
    ConversionOptions options;
    options.indexFolder = LStr(indexFolder);
    LStr converted;
    auto reader = openTextReader(path, options, &converted);
    if (!reader || converted.empty()) return {};
    LStr text;
    readAllBytes(*reader, text);
    return std::string(text.view());
}

// Runs split at the escaped "&", a tab and a line break inside a paragraph.
const std::vector<Paragraph> kText = {
    {"東京の朝は早い。"}, {"大阪&神戸\t夜\n長い。"}, {"京都の庭は静かだ。"}};
const char kTextConverted[] =
    "東京の朝は早い。\r\n----\r\n大阪&神戸\t夜\r\n長い。\r\n----\r\n京都の庭は静かだ。";
// A page holds its lines; the next page follows the separator.
const std::vector<Paragraph> kPages = {
    {"東京の朝は早い。"}, {"大阪の夜は長い。"}, {"京都の庭は静かだ。", true}};
const char kPagesConverted[] =
    "東京の朝は早い。\r\n大阪の夜は長い。\r\n\r\n----\r\n京都の庭は静かだ。\r\n";
// Sheets come in workbook order; cells of a row are tab-separated, a blank
// cell and a number included.
const std::vector<Sheet> kSheets = {
    {"一月", {{"東京", "", "42"}, {"晴れ"}}}, {"二月", {{"大阪"}}}, {"三月", {{"京都"}}}};
const char kSheetsConverted[] = "東京\t\t42\r\n晴れ\r\n----\r\n大阪\r\n----\r\n京都";

}  // namespace

TEST(RealDocuments, ConvertedTextHoldsTheTextInOrder) {
    if (!officeAvailable()) GTEST_SKIP() << "soffice is not on PATH";
    const struct {
        const char* format;
        std::string document;
        const char* converted;
    } cases[] = {
        {"docx", officeTextDocument(kText, "docx"), kTextConverted},
        {"odt", officeTextDocument(kText, "odt"), kTextConverted},
        {"doc", officeTextDocument(kText, "doc"), kTextConverted},
        {"pdf", officeTextDocument(kPages, "pdf"), kPagesConverted},
        {"xlsx", officeWorkbook(kSheets, "xlsx"), kSheetsConverted},
        {"xls", officeWorkbook(kSheets, "xls"), kSheetsConverted},
        {"ods", officeWorkbook(kSheets, "ods"), kSheetsConverted},
    };
    TempDir index;
    for (const auto& c : cases) {
        ASSERT_FALSE(c.document.empty()) << "soffice made no " << c.format;
        EXPECT_EQ(convertedText(c.document, index.path()), systemSjis(c.converted)) << c.format;
    }
}
