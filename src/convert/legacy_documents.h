// Documents read through LibreOffice. As document filters: the old binary
// formats of Word, Excel and PowerPoint (doc, xls, ppt), converted to their
// zip counterparts and read by the office document filters. As the office
// program preferred for Word and Excel: a Word document saved as plain text,
// a workbook as every sheet's rows of tab-separated cells, the sheets one
// after another with nothing between them.
#pragma once
#include <string_view>

#include "convert/document_chunks.h"

class OfficeProgram;

// Whether extension (no dot, lower case) is doc, xls or ppt.
bool isLegacyOfficeExtension(std::string_view extension);

ExtractOutcome extractLegacyOffice(std::string_view path, std::string_view extension,
                                   ChunkSink& sink, OfficeProgram& office);

// For doc and xls only.
ExtractOutcome extractAsOfficeText(std::string_view path, std::string_view extension,
                                   ChunkSink& sink, OfficeProgram& office);
