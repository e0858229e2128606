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

// Objects shared by every document: 3 is Helvetica (/F1); 4 is a CID font
// (/F2) whose codes are UTF-16 units, told to the reader by a ToUnicode map,
// so no glyphs are needed; 7 is a standard security handler that no empty
// password opens, in force when the trailer names it.
std::vector<std::string> sharedObjects() {
    const std::string key = "<" + std::string(64, 'A') + ">";
    return {"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
            "<< /Type /Font /Subtype /Type0 /BaseFont /Mincho /Encoding /Identity-H "
            "/DescendantFonts [5 0 R] /ToUnicode 6 0 R >>",
            "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /Mincho /DW 1000 /CIDSystemInfo "
            "<< /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> >>",
            streamObject("/CIDInit /ProcSet findresource begin 12 dict begin begincmap "
                         "/CMapName /Adobe-Identity-UCS def /CMapType 2 def "
                         "1 begincodespacerange <0000> <FFFF> endcodespacerange "
                         "5 beginbfchar <65E5> <65E5> <672C> <672C> <8A9E> <8A9E> "
                         "<6771> <6771> <4EAC> <4EAC> endbfchar "
                         "endcmap CMapName currentdict /CMap defineresource pop end end"),
            "<< /Filter /Standard /V 1 /R 2 /O " + key + " /U " + key + " /P -4 >>"};
}

// One page per content stream, with a correct cross-reference table.
std::string pdfFile(const std::vector<std::string>& contents, const std::string& trailer = "") {
    std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>", ""};
    for (std::string& object : sharedObjects()) objects.push_back(std::move(object));
    std::string kids;
    for (const std::string& content : contents) {
        kids += std::to_string(objects.size() + 1) + " 0 R ";
        objects.push_back(
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 200] /Resources "
            "<< /Font << /F1 3 0 R /F2 4 0 R >> >> /Contents " +
            std::to_string(objects.size() + 2) + " 0 R >>");
        objects.push_back(streamObject(content));
    }
    objects[1] =
        "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(contents.size()) + " >>";
    std::string out = "%PDF-1.4\n", xref;
    for (size_t i = 0; i < objects.size(); ++i) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", out.size());
        xref += entry;
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::string size = std::to_string(objects.size() + 1);
    return out + "xref\n0 " + size + "\n0000000000 65535 f \n" + xref + "trailer\n<< /Size " +
           size + " /Root 1 0 R" + trailer + " >>\nstartxref\n" + std::to_string(out.size()) +
           "\n%%EOF\n";
}

// Two lines of text, 20 points apart, from the top left.
std::string twoLines(const std::string& first, const std::string& second) {
    return "BT /F1 12 Tf 20 150 Td (" + first + ") Tj 0 -20 Td (" + second + ") Tj ET";
}

}  // namespace

TEST(PdfFilter, PagesComeInReadingOrderBehindChapterBreaks) {
    TempDir dir;
    // A Japanese file name: the Shift-JIS path has to reach the library as UTF-8.
    const std::string name = "\xe8\xb3\x87\xe6\x96\x99.pdf";  // 資料.pdf
    // 日本語 in one string, then 東京 glyph by glyph, spaced out as justified
    // text is: still one word.
    dir.write(name, pdfFile({twoLines("alpha one", "alpha two"),
                             "BT /F2 12 Tf 20 150 Td <65E5672C8A9E> Tj ET "
                             "BT /F2 12 Tf 20 130 Td <6771> Tj 15 0 Td <4EAC> Tj ET",
                             twoLines("beta", "gamma")}));
    const std::string path = systemSjis(dir.path(name));
    ChunkList sink;
    ExtractOutcome outcome = extractPdf(path, sink);
    ASSERT_EQ(outcome.result, ExtractResult::Extracted) << outcome.reason.c_str();
    ASSERT_EQ(sink.chunks.size(), 3u);
    const Chunk expected[] = {{ChunkBreak::None, u"alpha one\nalpha two\n"},
                              {ChunkBreak::Chapter, u"日本語\n東京\n"},
                              {ChunkBreak::Chapter, u"beta\ngamma\n"}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(sink.chunks[i].before, expected[i].before) << i;
        EXPECT_EQ(sink.chunks[i].text, expected[i].text) << i;
    }
    // A sink that says stop is not asked again.
    ChunkList stopping(2);
    EXPECT_EQ(extractPdf(path, stopping).result, ExtractResult::Failed);
    EXPECT_EQ(stopping.chunks.size(), 2u);
}

TEST(PdfFilter, LockedDamagedAndForeignFilesAreRefused) {
    const std::string good = pdfFile({twoLines("alpha", "beta"), twoLines("gamma", "delta")});
    const std::string id = "<0123456789ABCDEF0123456789ABCDEF>";
    std::string noise;
    for (unsigned i = 0; i < 4000; ++i) noise += static_cast<char>((i * 2654435761u) >> 13);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"truncated.pdf", good.substr(0, good.size() / 2)},
        {"noise.pdf", noise},
        {"locked.pdf",
         pdfFile({twoLines("secret", "text")}, " /Encrypt 7 0 R /ID [" + id + " " + id + "]")},
    };
    TempDir dir;
    for (const auto& c : cases) {
        ChunkList sink;
        ExtractOutcome outcome = extractPdf(dir.write(c.name, c.bytes), sink);
        EXPECT_EQ(outcome.result, ExtractResult::Failed) << c.name;
        EXPECT_FALSE(sv(outcome.reason).empty()) << c.name;
        EXPECT_TRUE(sink.chunks.empty()) << c.name;
    }
}
