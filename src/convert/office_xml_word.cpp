// Word-processing documents: the body of word/document.xml (headers,
// footers, notes and comments live in other parts and are not read).
#include "convert/office_xml_formats.h"
#include "convert/office_xml_runs.h"

bool extractWordText(OfficePackage& package, OfficeChunkWriter& out) {
    RunTextReader reader(out, true);
    if (!package.parse("word/document.xml", reader)) return false;
    out.flush();
    return true;
}
