// Run text to chunks: a break before and after every paragraph, so nested
// paragraphs (text boxes, table cells) stay apart as well.
#include "convert/office_xml_runs.h"

void RunTextReader::startElement(std::string_view name, const XmlAttributes&) {
    if (name == "p") {
        out_.brk(ChunkBreak::Paragraph);
    } else if (name == "t") {
        inText_ = true;
    } else if (name == "tabs") {
        ++inTabStops_;
    } else if (name == "tab" && tabs_ && inTabStops_ == 0) {
        out_.text("\t");
    } else if (name == "br" || name == "cr") {
        out_.text("\n");
    }
}

void RunTextReader::endElement(std::string_view name) {
    if (name == "p") {
        out_.brk(ChunkBreak::Paragraph);
    } else if (name == "t") {
        inText_ = false;
    } else if (name == "tabs") {
        --inTabStops_;
    }
}

void RunTextReader::text(std::string_view utf8) {
    if (inText_) out_.text(utf8);
}
