// The text of each kind of office package. Each reads its parts from the
// package into the writer and returns false when it failed (the package
// holds the reason).
#pragma once
#include "convert/office_xml_chunks.h"
#include "convert/office_xml_package.h"

bool extractWordText(OfficePackage& package, OfficeChunkWriter& out);
bool extractWorkbookText(OfficePackage& package, OfficeChunkWriter& out);
bool extractSlideText(OfficePackage& package, OfficeChunkWriter& out);
// content.xml of a text document, spreadsheet or presentation.
bool extractOpenDocumentText(OfficePackage& package, OfficeChunkWriter& out);
