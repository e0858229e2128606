// Presentations: the slides in the order ppt/presentation.xml lists them,
// each one a chapter of paragraphs.
#include "convert/office_xml_formats.h"
#include "convert/office_xml_runs.h"

namespace {
class SlideListReader : public XmlHandler {
public:
    std::vector<std::string> ids;
    void startElement(std::string_view name, const XmlAttributes& attributes) override {
        if (name == "sldId") ids.emplace_back(attributes.getNamespaced("id"));
    }
};
}  // namespace

bool extractSlideText(OfficePackage& package, OfficeChunkWriter& out) {
    const std::string main = "ppt/presentation.xml";
    SlideListReader list;
    if (!package.parse(main, list)) return false;
    for (const std::string& slide : package.targets(main, list.ids)) {
        out.brk(ChunkBreak::Chapter);
        RunTextReader reader(out, false);
        if (!package.parse(slide, reader)) return false;
    }
    out.flush();
    return package.reason().empty();
}
