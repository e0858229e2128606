// Spreadsheets: the sheets in workbook order (not file-name order), each a
// chapter whose rows are lines of tab-separated cells. Shared strings are
// read first; phonetic guides (rPh) are left out of every string.
#include <charconv>

#include "convert/office_xml_formats.h"
#include "convert/office_xml_row.h"

namespace {

// The text of "t" elements, outside phonetic guides, for string items.
class StringRuns {
public:
    void start(std::string_view name) {
        if (name == "rPh") ++phonetic_;
        if (name == "t") inText_ = phonetic_ == 0;
    }
    void end(std::string_view name) {
        if (name == "rPh") --phonetic_;
        if (name == "t") inText_ = false;
    }
    bool inText() const { return inText_; }

private:
    int phonetic_ = 0;
    bool inText_ = false;
};

class SharedStringReader : public XmlHandler {
public:
    std::vector<std::string> strings;
    void startElement(std::string_view name, const XmlAttributes&) override {
        if (name == "si") current_.clear();
        runs_.start(name);
    }
    void endElement(std::string_view name) override {
        runs_.end(name);
        if (name == "si") strings.push_back(current_);
    }
    void text(std::string_view utf8) override {
        if (runs_.inText()) current_ += utf8;
    }

private:
    StringRuns runs_;
    std::string current_;
};

class SheetReader : public XmlHandler {
public:
    SheetReader(OfficeChunkWriter& out, const std::vector<std::string>& shared)
        : out_(out), shared_(shared) {}

    void startElement(std::string_view name, const XmlAttributes& attributes) override {
        if (name == "row") {
            row_.clear();
        } else if (name == "c") {
            type_ = attributes.get("t");
            column_ = columnOfReference(attributes.get("r"));
            if (column_ < 0) column_ = row_.next();
            value_.clear();
            inline_.clear();
        } else if (name == "v") {
            inValue_ = true;
        } else if (name == "is") {
            inInline_ = true;
        }
        runs_.start(name);
    }
    void endElement(std::string_view name) override {
        runs_.end(name);
        if (name == "v") inValue_ = false;
        if (name == "is") inInline_ = false;
        if (name == "c") row_.put(column_, cellText());
        if (name == "row" && !row_.empty()) {
            if (lines_++ > 0) out_.text("\n");
            out_.text(row_.line());
        }
    }
    void text(std::string_view utf8) override {
        if (inValue_) value_ += utf8;
        if (inInline_ && runs_.inText()) inline_ += utf8;
    }
    bool wantsStop() const override { return out_.stopped(); }

private:
    std::string_view cellText() const {
        if (type_ == "inlineStr") return inline_;
        if (type_ != "s") return value_;
        size_t index = 0;
        auto [end, error] = std::from_chars(value_.data(), value_.data() + value_.size(), index);
        if (error != std::errc() || index >= shared_.size()) return {};
        return shared_[index];
    }

    OfficeChunkWriter& out_;
    const std::vector<std::string>& shared_;
    SheetRowLine row_;
    StringRuns runs_;
    std::string type_;
    int column_ = 0;
    std::string value_;
    std::string inline_;
    bool inValue_ = false;
    bool inInline_ = false;
    int lines_ = 0;
};
}  // namespace

bool extractWorkbookText(OfficePackage& package, OfficeChunkWriter& out) {
    const std::string main = "xl/workbook.xml";
    RelationIdReader list("sheet");
    if (!package.parse(main, list)) return false;
    SharedStringReader shared;
    const std::string sharedPart = "xl/sharedStrings.xml";
    if (package.contains(sharedPart) && !package.parse(sharedPart, shared)) return false;
    for (const std::string& sheet : package.targets(main, list.ids)) {
        out.brk(ChunkBreak::Chapter);
        SheetReader reader(out, shared.strings);
        if (!package.parse(sheet, reader)) return false;
    }
    out.flush();
    return package.reason().empty();
}
