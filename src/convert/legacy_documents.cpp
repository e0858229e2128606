#include "convert/legacy_documents.h"

#include <string>

#include "base/lwstr.h"
#include "convert/office_program.h"
#include "convert/office_xml_filter.h"
#include "text/encoding.h"
#include "text/file_stream.h"
#include "text/stream_reading.h"

namespace {

struct LegacyRow {
    std::string_view extension;
    std::string_view modern;
};

constexpr LegacyRow kLegacy[] = {{"doc", "docx"}, {"xls", "xlsx"}, {"ppt", "pptx"}};

std::string_view modernOf(std::string_view extension) {
    for (const LegacyRow& row : kLegacy)
        if (row.extension == extension) return row.modern;
    return {};
}

ExtractOutcome extracted() {
    ExtractOutcome outcome;
    outcome.result = ExtractResult::Extracted;
    return outcome;
}

// Rows of the sheets, one after another: breaks between paragraphs and
// sheets become plain line ends.
class SheetRowsSink : public ChunkSink {
public:
    explicit SheetRowsSink(ChunkSink& out) : out_(out) {}
    bool chunk(ChunkBreak before, std::u16string_view text) override {
        if (before >= ChunkBreak::Sentence && open_ && !out_.chunk(ChunkBreak::None, u"\n"))
            return false;
        if (text.empty()) return true;
        open_ = text.back() != u'\n';
        return out_.chunk(ChunkBreak::None, text);
    }

private:
    ChunkSink& out_;
    bool open_ = false;
};

// A UTF-8 text file (with or without its mark) as one chunk.
ExtractOutcome readUtf8Text(std::string_view path, ChunkSink& sink) {
    LFile file(path, 'r', false);
    if (!file.isOpen()) return {};
    LSrm stream(&file);
    LStr bytes;
    readAllBytes(stream, bytes);
    std::string_view text = bytes.view();
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    LWStr wide;
    mbToWide(text, wide, kCodePageUtf8);
    if (!sink.chunk(ChunkBreak::None, wide.view())) return {};
    return extracted();
}

}  // namespace

bool isLegacyOfficeExtension(std::string_view extension) {
    return !modernOf(extension).empty();
}

ExtractOutcome extractLegacyOffice(std::string_view path, std::string_view extension,
                                   ChunkSink& sink, OfficeProgram& office) {
    const std::string_view modern = modernOf(extension);
    return office.convert(path, modern, [&](std::string_view produced) {
        return extractOfficeXml(produced, modern, sink);
    });
}

ExtractOutcome extractAsOfficeText(std::string_view path, std::string_view extension,
                                   ChunkSink& sink, OfficeProgram& office) {
    if (extension == "xls") {
        SheetRowsSink rows(sink);
        return extractLegacyOffice(path, extension, rows, office);
    }
    return office.convert(path, "txt:Text (encoded):UTF8",
                          [&](std::string_view produced) { return readUtf8Text(produced, sink); });
}
