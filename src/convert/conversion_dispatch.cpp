#include "convert/conversion_dispatch.h"

#include <atomic>
#include <cctype>

#include "convert/converted_text.h"
#include "convert/legacy_documents.h"
#include "convert/marked_text.h"
#include "convert/office_program.h"
#include "convert/office_xml_filter.h"
#include "convert/pdf_filter.h"
#include "convert/rtf_reader.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "support/run_context.h"
#include "support/stop_flag.h"
#include "text/stream_reading.h"

namespace {

constexpr char kConverting[] = "\x95\xCF\x8A\xB7\x92\x86";
constexpr char kSearching[] = "\x8C\x9F\x8D\xF5\x92\x86";
// "The text of the file could not be taken out." with the filter's reason.
constexpr char kExtractFailed[] =
    "\x83t\x83@\x83"
    "C\x83\x8B\x81u%s\x81v\x82\xCC\x83"
    "e\x83L\x83X\x83g\x82\xF0\x8E\xE6\x82\xE8\x8Fo\x82\xB9\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82"
    "\xB5\x82\xBD\x81"
    "B%s";

std::atomic<int64_t> conversions{0};

using Extractor = ExtractOutcome (*)(std::string_view path, std::string_view extension,
                                     ChunkSink& sink);

ExtractOutcome officeExtractor(std::string_view path, std::string_view extension, ChunkSink& sink) {
    return extractOfficeXml(path, extension, sink);
}

ExtractOutcome legacyExtractor(std::string_view path, std::string_view extension, ChunkSink& sink) {
    return extractLegacyOffice(path, extension, sink, officeProgram());
}

ExtractOutcome officeTextExtractor(std::string_view path, std::string_view extension,
                                   ChunkSink& sink) {
    return extractAsOfficeText(path, extension, sink, officeProgram());
}

ExtractOutcome pdfExtractor(std::string_view path, std::string_view, ChunkSink& sink) {
    return extractPdf(path, sink);
}

struct FilterRow {
    std::string_view extension;
    Extractor extractor;
    bool needsOfficeProgram = false;
};

constexpr FilterRow kFilters[] = {
    {"docx", officeExtractor},      {"xlsx", officeExtractor},      {"pptx", officeExtractor},
    {"odt", officeExtractor},       {"ods", officeExtractor},       {"odp", officeExtractor},
    {"pdf", pdfExtractor},          {"doc", legacyExtractor, true}, {"xls", legacyExtractor, true},
    {"ppt", legacyExtractor, true},
};

constexpr std::string_view kPlainExtensions[] = {"txt", "html", "htm", "xml", "csv", "lst"};

void showActivity(const char* text) {
    if (RunContext* context = currentRunContext()) context->setStatus(2, text);
}

LStr lowerExtension(std::string_view path) {
    LStr ext = extPart(path);
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    for (int32_t i = 0; i < ext.length(); ++i)
        ext[i] = char(std::tolower(static_cast<unsigned char>(ext[i])));
    return ext;
}

// The filter for ext, or none; a filter that needs LibreOffice counts only
// where it is installed.
Extractor filterFor(std::string_view ext) {
    for (const FilterRow& row : kFilters)
        if (ext == row.extension && (!row.needsOfficeProgram || officeProgram().available()))
            return row.extractor;
    return nullptr;
}

// The RTF reader's text into converted; false when it was stopped.
bool convertRtf(LSrmBase& file, std::string_view converted) {
    LStr rtf;
    readAllBytes(file, rtf);
    LStr text;
    ConvertedTextWriter writer(converted);
    {
        ConversionQuiet quiet;
        if (!rtfToText(rtf.view(), text) || !writer.write(text.view())) return false;
    }
    return writer.commit();
}

// Extraction into converted; a failure other than a stop gets one line.
bool convertWithFilter(std::string_view path, std::string_view extension, Extractor extractor,
                       std::string_view converted) {
    ConvertedTextWriter writer(converted);
    ExtractOutcome outcome;
    {
        ConversionQuiet quiet;
        outcome = extractor(path, extension, writer);
    }
    if (outcome.result == ExtractResult::Extracted && writer.holdsText()) return writer.commit();
    if (outcome.result == ExtractResult::Failed && !stopRequested())
        report(kMsgWarning, kExtractFailed, LStr(path).c_str(), outcome.reason.c_str());
    return false;
}

// A text with a byte-order mark into converted; false when it failed or
// was stopped.
bool convertMarked(LSrmBase& file, std::string_view converted) {
    ConvertedTextWriter writer(converted);
    return writeMarkedText(file, writer) && !stopRequested() && writer.commit();
}

}  // namespace

int64_t documentConversionCount() {
    return conversions.load();
}

LStr convertDocument(std::string_view path, LSrmBase& file, const ConversionOptions& options) {
    if (options.convertDictionary) {
        LStr dictionary = options.convertDictionary(path, options);
        if (!dictionary.empty()) return dictionary;
    }
    const bool marked = detectByteOrderMark(file).encoding != TextEncoding::kNative;
    const LStr ext = lowerExtension(path);
    for (std::string_view plain : kPlainExtensions)
        if (ext == plain && !marked) return {};
    int32_t visible = 0;
    const char* bytes = file.peekBytes(6, &visible);
    const std::string_view head(bytes, size_t(visible));

    Extractor extractor = filterFor(ext.view());
    const bool rtf = ext == "rtf" && head.starts_with("{\\rtf1");
    // The office program of this platform is the one behind the filters of
    // doc and xls, so its failure is not retried through them.
    if (options.useOffice2003 && (ext == "doc" || ext == "xls") && head.starts_with("\xD0\xCF") &&
        officeProgram().available())
        extractor = officeTextExtractor;
    if (!marked && !rtf && !extractor) return {};

    if (options.prepareIndexFolder) options.prepareIndexFolder(options.indexFolder.view());
    LStr converted = convertedTextPath(options.indexFolder.view(), path);
    if (converted.empty()) return {};
    if (convertedTextIsCurrent(converted.view(), path)) return converted;

    showActivity(kConverting);
    bool done = false;
    if (marked) {
        done = convertMarked(file, converted.view());
    } else if (rtf) {
        done = convertRtf(file, converted.view());
    } else {
        done = convertWithFilter(path, ext.view(), extractor, converted.view());
    }
    showActivity(kSearching);
    if (!done) return {};
    ++conversions;
    return converted;
}
