// Text of office documents kept as zip packages of XML parts: docx, xlsx,
// pptx and their open counterparts odt, ods, odp. Paragraphs, slides and
// sheets become chunk breaks; spreadsheet rows become lines of
// tab-separated cells. A document is refused when it is not a zip package,
// is damaged or encrypted, misses its main part, holds malformed XML or a
// DOCTYPE, or would inflate past the limit.
#pragma once
#include <cstdint>
#include <string_view>

#include "convert/document_chunks.h"

// All parts of one document together may inflate to at most this much.
constexpr uint64_t kOfficeXmlInflateLimit = uint64_t{256} * 1024 * 1024;

// Whether the extension (with or without its dot, any case) is one of ours.
bool isOfficeXmlExtension(std::string_view extension);

// path is the program's Shift-JIS path; extension picks the format.
ExtractOutcome extractOfficeXml(std::string_view path, std::string_view extension, ChunkSink& sink,
                                uint64_t inflateLimit = kOfficeXmlInflateLimit);
