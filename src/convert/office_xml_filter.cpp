// Opening the package and handing it to the reader of its format. An OOXML
// document saved with a password is not a zip at all but an OLE compound
// file; an encrypted open document says so in its manifest.
#include "convert/office_xml_filter.h"

#include <algorithm>
#include <fstream>
#include <string>

#include "convert/office_xml_formats.h"
#include "platform/path_encoding.h"

namespace {
enum class Format { None, Word, Workbook, Slides, OpenDocument };

Format formatOf(std::string_view extension) {
    if (!extension.empty() && extension[0] == '.') extension.remove_prefix(1);
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    if (lower == "docx") return Format::Word;
    if (lower == "xlsx") return Format::Workbook;
    if (lower == "pptx") return Format::Slides;
    if (lower == "odt" || lower == "ods" || lower == "odp") return Format::OpenDocument;
    return Format::None;
}

bool isCompoundFile(const std::string& systemPath) {
    std::ifstream in(systemPath, std::ios::binary);
    char magic[4] = {};
    return in.read(magic, 4) && std::string_view(magic, 4) == "\xD0\xCF\x11\xE0";
}

ExtractOutcome failure(std::string_view reason) {
    ExtractOutcome outcome;
    outcome.reason = LStr(reason);
    return outcome;
}

class ManifestReader : public XmlHandler {
public:
    bool encrypted = false;
    void startElement(std::string_view name, const XmlAttributes&) override {
        if (name == "encryption-data") encrypted = true;
    }
};

bool extractFormat(Format format, OfficePackage& package, OfficeChunkWriter& out) {
    switch (format) {
        case Format::Word:
            return extractWordText(package, out);
        case Format::Workbook:
            return extractWorkbookText(package, out);
        case Format::Slides:
            return extractSlideText(package, out);
        case Format::OpenDocument:
            break;
        case Format::None:
            package.fail("not an office document");
            return false;
    }
    const std::string manifest = "META-INF/manifest.xml";
    ManifestReader reader;
    if (package.contains(manifest) && !package.parse(manifest, reader)) return false;
    if (reader.encrypted) {
        package.fail("encrypted document");
        return false;
    }
    return extractOpenDocumentText(package, out);
}
}  // namespace

bool isOfficeXmlExtension(std::string_view extension) {
    return formatOf(extension) != Format::None;
}

ExtractOutcome extractOfficeXml(std::string_view path, std::string_view extension, ChunkSink& sink,
                                uint64_t inflateLimit) {
    const std::string systemPath = toSystemPath(path);
    ZipOpen status;
    std::unique_ptr<ZipArchive> archive = ZipArchive::open(systemPath, status);
    if (!archive) {
        if (status == ZipOpen::Unreadable) return failure("cannot open the file");
        if (status == ZipOpen::NoLibrary) return failure("libzip is not installed");
        if (isCompoundFile(systemPath)) return failure("encrypted document");
        return failure(status == ZipOpen::NotZip ? "not a zip archive" : "damaged archive");
    }
    OfficePackage package(*archive, inflateLimit);
    OfficeChunkWriter out(sink);
    if (!extractFormat(formatOf(extension), package, out)) return failure(package.reason());
    if (out.stopped()) return failure("stopped");
    ExtractOutcome outcome;
    outcome.result = ExtractResult::Extracted;
    return outcome;
}
