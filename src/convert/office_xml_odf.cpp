// Open document formats: the body of content.xml. Paragraphs and headings
// are paragraphs, drawing pages and spreadsheet tables chapters; inside a
// spreadsheet, rows are lines of tab-separated cells. Repeated rows and
// columns expand only when they hold text, and only within a per-document
// allowance of bytes, so no repeat count can blow the text up.
#include <charconv>

#include "convert/office_xml_formats.h"
#include "convert/office_xml_row.h"

namespace {
// Bytes of text that repeated rows, cells and spaces of one document may add.
constexpr long kRepeatAllowance = 16 << 20;

class ContentReader : public XmlHandler {
public:
    explicit ContentReader(OfficeChunkWriter& out) : out_(out) {}

    void startElement(std::string_view name, const XmlAttributes& attributes) override {
        if (name == "p" || name == "h") {
            ++paragraphs_;
            if (!inCell_)
                out_.brk(ChunkBreak::Paragraph);
            else if (cellParagraphs_++ > 0)
                cell_ += '\n';
        } else if (paragraphs_ > 0) {
            startInline(name, attributes);
        } else if (name == "spreadsheet") {
            inSheets_ = true;
        } else if (name == "page" || (name == "table" && inSheets_)) {
            out_.brk(ChunkBreak::Chapter);
            lines_ = 0;
        } else if (inSheets_) {
            startTablePart(name, attributes);
        }
    }
    void endElement(std::string_view name) override {
        if (name == "p" || name == "h") {
            --paragraphs_;
            if (!inCell_) out_.brk(ChunkBreak::Paragraph);
        } else if (name == "spreadsheet") {
            inSheets_ = false;
        } else if (inSheets_ && inCell_ && (name == "table-cell" || name == "covered-table-cell")) {
            endCell();
        } else if (inSheets_ && name == "table-row") {
            endRow();
        }
    }
    void text(std::string_view utf8) override {
        if (paragraphs_ > 0) emit(utf8);
    }
    bool wantsStop() const override { return out_.stopped(); }

private:
    static long count(const XmlAttributes& attributes, std::string_view name) {
        std::string_view value = attributes.get(name);
        long n = 1;
        std::from_chars(value.data(), value.data() + value.size(), n);
        return n < 1 ? 1 : n;
    }
    // Up to n copies of size bytes, the first one free, the others from the allowance.
    long granted(long n, size_t size) {
        long each = static_cast<long>(size) + 1;
        long extra = std::min(n - 1, allowance_ / each);
        allowance_ -= extra * each;
        return extra + 1;
    }
    void emit(std::string_view utf8) {
        if (inCell_)
            cell_ += utf8;
        else
            out_.text(utf8);
    }
    void startInline(std::string_view name, const XmlAttributes& attributes) {
        if (name == "tab") emit("\t");
        if (name == "line-break") emit("\n");
        if (name == "s") emit(std::string(granted(count(attributes, "c"), 0), ' '));
    }
    void startTablePart(std::string_view name, const XmlAttributes& attributes) {
        if (name == "table-row") {
            row_.clear();
            rowRepeat_ = count(attributes, "number-rows-repeated");
        } else if (name == "table-cell" || name == "covered-table-cell") {
            inCell_ = true;
            cell_.clear();
            cellParagraphs_ = 0;
            cellRepeat_ = count(attributes, "number-columns-repeated");
        }
    }
    void endCell() {
        inCell_ = false;
        long first = row_.next() + empty_;
        if (cell_.empty()) {
            empty_ = std::min<long>(empty_ + cellRepeat_, SheetRowLine::kMaxColumns);
            return;
        }
        empty_ = 0;
        long copies = std::min<long>(cellRepeat_, SheetRowLine::kMaxColumns - first);
        if (copies <= 0) return;
        copies = granted(copies, cell_.size());
        for (long i = 0; i < copies; ++i) row_.put(static_cast<int>(first + i), cell_);
    }
    void endRow() {
        empty_ = 0;
        if (row_.empty()) return;
        for (long copies = granted(rowRepeat_, row_.line().size()); copies > 0 && !out_.stopped();
             --copies) {
            if (lines_++ > 0) out_.text("\n");
            out_.text(row_.line());
        }
    }

    OfficeChunkWriter& out_;
    int paragraphs_ = 0;
    bool inSheets_ = false;
    bool inCell_ = false;
    int cellParagraphs_ = 0;
    std::string cell_;
    long cellRepeat_ = 1;
    long rowRepeat_ = 1;
    long empty_ = 0;  // empty columns waiting for a cell with text
    SheetRowLine row_;
    long lines_ = 0;
    long allowance_ = kRepeatAllowance;
};
}  // namespace

bool extractOpenDocumentText(OfficePackage& package, OfficeChunkWriter& out) {
    ContentReader reader(out);
    if (!package.parse("content.xml", reader)) return false;
    out.flush();
    return true;
}
