// Presentations: the slides in the order ppt/presentation.xml lists them,
// each one a chapter of paragraphs.
#include "convert/office_xml_formats.h"
#include "convert/office_xml_runs.h"

bool extractSlideText(OfficePackage& package, OfficeChunkWriter& out) {
    const std::string main = "ppt/presentation.xml";
    RelationIdReader list("sldId");
    if (!package.parse(main, list)) return false;
    for (const std::string& slide : package.targets(main, list.ids)) {
        out.brk(ChunkBreak::Chapter);
        RunTextReader reader(out, false);
        if (!package.parse(slide, reader)) return false;
    }
    out.flush();
    return package.reason().empty();
}
