// PDF text: pages in order behind chapter breaks, Unicode text from the
// document's character maps, and refusal of locked, damaged and foreign files.
// The documents are written here by hand, with their cross-reference tables.
#include "convert/pdf_filter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/system_charset.h"
#include "common/temp_dir.h"

namespace {

struct Chunk {
    ChunkBreak before;
    std::u16string text;
};

class ChunkList : public ChunkSink {
public:
    explicit ChunkList(size_t acceptUpTo = SIZE_MAX) : acceptUpTo_(acceptUpTo) {}
    bool chunk(ChunkBreak before, std::u16string_view text) override {
        chunks.push_back({before, std::u16string(text)});
        return chunks.size() < acceptUpTo_;
    }
    std::vector<Chunk> chunks;

private:
    size_t acceptUpTo_;
};

std::string streamObject(const std::string& data) {
    return "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

// A PDF of numbered objects (1 is the catalog) with a correct xref table.
std::string pdfFile(const std::vector<std::string>& objects, const std::string& trailerExtra) {
    std::string out = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(out.size());
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = out.size();
    out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        out += entry;
    }
    return out + "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R" +
           trailerExtra + " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
}

// One page per content stream, all set in font object 3 (fontObjects[0]);
// further font objects follow it. extraObjects come after the pages.
std::string pagesPdf(const std::vector<std::string>& contents,
                     const std::vector<std::string>& fontObjects,
                     const std::vector<std::string>& extraObjects = {},
                     const std::string& trailerExtra = "") {
    const size_t firstPage = 3 + fontObjects.size();
    std::string kids;
    for (size_t i = 0; i < contents.size(); ++i)
        kids += std::to_string(firstPage + 2 * i) + " 0 R ";
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(contents.size()) + " >>"};
    objects.insert(objects.end(), fontObjects.begin(), fontObjects.end());
    for (size_t i = 0; i < contents.size(); ++i) {
        objects.push_back(
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 200] "
            "/Resources << /Font << /F1 3 0 R >> >> /Contents " +
            std::to_string(firstPage + 2 * i + 1) + " 0 R >>");
        objects.push_back(streamObject(contents[i]));
    }
    objects.insert(objects.end(), extraObjects.begin(), extraObjects.end());
    return pdfFile(objects, trailerExtra);
}

const std::vector<std::string> kHelvetica = {
    "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};

// Two lines of text, 20 points apart, from the top left.
std::string twoLines(const std::string& first, const std::string& second) {
    return "BT /F1 12 Tf 20 150 Td (" + first + ") Tj 0 -20 Td (" + second + ") Tj ET";
}

// A CID font whose codes are the characters' UTF-16 units, told to the
// reader by a ToUnicode map: no glyphs are needed to extract the text.
const std::vector<std::string> kCjkFont = {
    "<< /Type /Font /Subtype /Type0 /BaseFont /Mincho /Encoding /Identity-H "
    "/DescendantFonts [4 0 R] /ToUnicode 5 0 R >>",
    "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /Mincho /DW 1000 /CIDSystemInfo "
    "<< /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> >>",
    streamObject("/CIDInit /ProcSet findresource begin 12 dict begin begincmap "
                 "/CMapName /Adobe-Identity-UCS def /CMapType 2 def "
                 "1 begincodespacerange <0000> <FFFF> endcodespacerange "
                 "5 beginbfchar <65E5> <65E5> <672C> <672C> <8A9E> <8A9E> "
                 "<6771> <6771> <4EAC> <4EAC> endbfchar "
                 "endcmap CMapName currentdict /CMap defineresource pop end end")};

}  // namespace

TEST(PdfFilter, PagesComeInOrderWithLinesAndChapterBreaks) {
    TempDir dir;
    // A Japanese file name: the Shift-JIS path has to reach the library as UTF-8.
    const std::string name = "\xe8\xb3\x87\xe6\x96\x99.pdf";  // 資料.pdf
    dir.write(name, pagesPdf({twoLines("alpha one", "alpha two"), twoLines("beta", "gamma")},
                             kHelvetica));
    ChunkList sink;
    ExtractOutcome outcome = extractPdf(systemSjis(dir.path(name)), sink);
    ASSERT_EQ(outcome.result, ExtractResult::Extracted) << outcome.reason.c_str();
    ASSERT_EQ(sink.chunks.size(), 2u);
    EXPECT_EQ(sink.chunks[0].before, ChunkBreak::None);
    EXPECT_EQ(sink.chunks[1].before, ChunkBreak::Chapter);
    EXPECT_EQ(sink.chunks[0].text, u"alpha one\nalpha two\n");
    EXPECT_EQ(sink.chunks[1].text, u"beta\ngamma\n");
}

TEST(PdfFilter, JapaneseTextArrivesAsUtf16) {
    TempDir dir;
    // 日本語 as one string, 東京 glyph by glyph as word processors place them.
    const std::string content =
        "BT /F1 12 Tf 20 150 Td <65E5672C8A9E> Tj ET "
        "BT /F1 12 Tf 20 130 Td <6771> Tj 12 0 Td <4EAC> Tj ET";
    std::string path = dir.write("ja.pdf", pagesPdf({content}, kCjkFont));
    ChunkList sink;
    ASSERT_EQ(extractPdf(path, sink).result, ExtractResult::Extracted);
    ASSERT_EQ(sink.chunks.size(), 1u);
    EXPECT_EQ(sink.chunks[0].text, u"日本語\n東京\n");
}

TEST(PdfFilter, StopsBetweenPagesWhenTheSinkSaysSo) {
    TempDir dir;
    std::string path = dir.write(
        "three.pdf",
        pagesPdf({twoLines("a", "b"), twoLines("c", "d"), twoLines("e", "f")}, kHelvetica));
    ChunkList sink(2);
    EXPECT_EQ(extractPdf(path, sink).result, ExtractResult::Failed);
    EXPECT_EQ(sink.chunks.size(), 2u);
}

TEST(PdfFilter, LockedDamagedAndForeignFilesAreRefused) {
    const std::string good =
        pagesPdf({twoLines("alpha", "beta"), twoLines("gamma", "delta")}, kHelvetica);
    // The standard handler with an owner and user key that no empty password
    // opens: the reader has to ask for a password.
    const std::string key = "<" + std::string(64, 'A') + ">";
    const std::string locked =
        pagesPdf({twoLines("secret", "text")}, kHelvetica,
                 {"<< /Filter /Standard /V 1 /R 2 /O " + key + " /U " + key + " /P -4 >>"},
                 " /Encrypt 6 0 R /ID [<0123456789ABCDEF0123456789ABCDEF> "
                 "<0123456789ABCDEF0123456789ABCDEF>]");
    std::string noise;
    for (unsigned i = 0; i < 4000; ++i) noise += static_cast<char>((i * 2654435761u) >> 13);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"truncated.pdf", good.substr(0, good.size() / 2)},
        {"noise.pdf", noise},
        {"empty.pdf", ""},
        {"locked.pdf", locked},
    };
    TempDir dir;
    for (const auto& c : cases) {
        ChunkList sink;
        ExtractOutcome outcome = extractPdf(dir.write(c.name, c.bytes), sink);
        EXPECT_EQ(outcome.result, ExtractResult::Failed) << c.name;
        EXPECT_FALSE(sv(outcome.reason).empty()) << c.name;
        EXPECT_TRUE(sink.chunks.empty()) << c.name;
    }
    ChunkList sink;
    EXPECT_EQ(extractPdf(dir.path("missing.pdf"), sink).result, ExtractResult::Failed);
}
