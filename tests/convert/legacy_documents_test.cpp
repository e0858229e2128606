// Word and Excel documents read as the preferred office program gives them:
// a Word document as its plain text, a workbook as its sheets' rows one
// after another with nothing between the sheets.
#include "convert/legacy_documents.h"

#include <gtest/gtest.h>

#include <string>

#include "common/office_documents.h"
#include "common/system_charset.h"
#include "convert/office_program.h"

namespace {

class TextSink : public ChunkSink {
public:
    bool chunk(ChunkBreak before, std::u16string_view text) override {
        if (before >= ChunkBreak::Sentence) out += u"|";
        out += text;
        return true;
    }
    std::u16string out;
};

std::u16string u16(const char* utf8) {
    const std::string bytes = systemConverted(utf8, Charset::kUtf8, Charset::kUtf16Le);
    return std::u16string(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
}

TEST(LegacyDocuments, OfficeTextOfWordAndExcel) {
    if (!officeAvailable()) GTEST_SKIP() << "soffice is not installed";
    const std::string doc = officeTextDocument({{"東京タワー"}, {"大阪城"}}, "doc");
    const std::string xls = officeWorkbook(
        {{"一", {{"a", "1"}, {"b"}}}, {"二", {{"東京"}}}, {"三", {{"x", "y"}}}}, "xls");
    ASSERT_FALSE(doc.empty());
    ASSERT_FALSE(xls.empty());
    struct {
        const std::string& path;
        const char* extension;
        const char* text;
    } cases[] = {
        {doc, "doc", "東京タワー\n大阪城\n"},
        {xls, "xls", "a\t1\nb\n東京\nx\ty"},
    };
    for (const auto& c : cases) {
        TextSink sink;
        const ExtractOutcome outcome =
            extractAsOfficeText(c.path, c.extension, sink, officeProgram());
        EXPECT_EQ(outcome.result, ExtractResult::Extracted) << c.path;
        EXPECT_EQ(sink.out, u16(c.text)) << c.extension;
    }
}

}  // namespace
