// Paragraphs made of text runs, as word-processing documents and slides
// hold them: "t" elements carry the text, "p" elements are paragraphs,
// "br" (and "cr") a line feed inside one.
#pragma once
#include "convert/office_xml_chunks.h"
#include "convert/xml_text_reader.h"

class RunTextReader : public XmlHandler {
public:
    // tabs: whether a "tab" element is a tab character (in word processing;
    // slides use the name only for tab stops).
    RunTextReader(OfficeChunkWriter& out, bool tabs) : out_(out), tabs_(tabs) {}

    void startElement(std::string_view name, const XmlAttributes&) override;
    void endElement(std::string_view name) override;
    void text(std::string_view utf8) override;
    bool wantsStop() const override { return out_.stopped(); }

private:
    OfficeChunkWriter& out_;
    bool tabs_;
    bool inText_ = false;
    int inTabStops_ = 0;
};
