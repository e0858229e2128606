// Office packages built in the test with libzip from hand-written parts:
// the chunk sequence (break kinds and texts) of each format, and the
// reasons a damaged, encrypted, hostile or oversized package is refused.
#include "convert/office_xml_filter.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <utility>
#include <vector>

#include "common/temp_dir.h"
#include "text/encoding.h"

namespace {
using Parts = std::vector<std::pair<std::string, std::string>>;

// password: every entry is written with AES encryption.
void writeZip(const std::string& path, const Parts& parts, const char* password = nullptr) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, bytes] : parts) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE);
        ASSERT_GE(index, 0);
        if (password) {
            ASSERT_EQ(zip_file_set_encryption(archive, index, ZIP_EM_AES_256, password), 0);
        }
    }
    ASSERT_EQ(zip_close(archive), 0);
}

// Each chunk as "<break letter>|<text in Shift-JIS>"; stops the extraction after stopAfter chunks.
struct ChunkLog : ChunkSink {
    std::vector<std::string> chunks;
    size_t stopAfter = SIZE_MAX;
    bool chunk(ChunkBreak before, std::u16string_view text) override {
        LStr sjis;
        wideToMb(text, sjis);
        chunks.push_back(std::string(1, "NWSPC"[static_cast<int>(before)]) + "|" +
                         std::string(sjis.view()));
        return chunks.size() < stopAfter;
    }
};

const std::string kWordNs =
    R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main")";
const std::string kRelNs =
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";
const std::string kOdfNs = R"(xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
                           R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" )"
                           R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" )"
                           R"(xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0")";

std::string word(const std::string& body) {
    return "<w:document " + kWordNs + "><w:body>" + body + "</w:body></w:document>";
}

std::string rels(const std::vector<std::pair<std::string, std::string>>& targets) {
    std::string xml = "<Relationships>";
    for (const auto& [id, target] : targets)
        xml += "<Relationship Id=\"" + id + "\" Type=\"t\" Target=\"" + target + "\"/>";
    return xml + "</Relationships>";
}

std::string sheet(const std::string& rows) {
    return "<worksheet><sheetData>" + rows + "</sheetData></worksheet>";
}

std::string slide(const std::string& paragraphs) {
    return R"(<p:sld xmlns:a="a" xmlns:p="p"><p:cSld><p:spTree><p:sp><p:txBody>)" + paragraphs +
           "</p:txBody></p:sp></p:spTree></p:cSld></p:sld>";
}

std::string odf(const std::string& body) {
    return "<office:document-content " + kOdfNs + "><office:body>" + body +
           "</office:body></office:document-content>";
}

const Parts kDocx = {
    {"word/document.xml",
     word(R"(<w:p><w:pPr><w:tabs><w:tab w:val="left" w:pos="720"/></w:tabs></w:pPr>)"
          "<w:r><w:t>\xe6\x9d\xb1\xe4\xba\xac</w:t><w:tab/><w:t>one</w:t></w:r></w:p><w:p/>"
          R"(<w:p><w:r><w:t xml:space="preserve">two </w:t><w:br/><w:t>three</w:t></w:r></w:p>)")},
};

// Workbook order B, A, C against file names sheet2, sheet1, sheet3.
const Parts kXlsx = {
    {"xl/workbook.xml", "<workbook " + kRelNs +
                            R"(><sheets><sheet name="B" sheetId="1" r:id="rId2"/>)"
                            R"(<sheet name="A" sheetId="2" r:id="rId1"/>)"
                            R"(<sheet name="C" sheetId="3" r:id="rId3"/></sheets></workbook>)"},
    {"xl/_rels/workbook.xml.rels", rels({{"rId1", "worksheets/sheet1.xml"},
                                         {"rId2", "worksheets/sheet2.xml"},
                                         {"rId3", "/xl/worksheets/sheet3.xml"}})},
    {"xl/sharedStrings.xml",
     "<sst><si><t>alpha</t></si>"
     "<si><r><t>be</t></r><r><t>ta</t></r><rPh><t>\xe3\x83\x99</t></rPh></si>"
     "<si><t>line1\nline2</t></si></sst>"},
    {"xl/worksheets/sheet1.xml", sheet(R"(<row r="1"><c r="A1" t="s"><v>1</v></c></row>)")},
    {"xl/worksheets/sheet2.xml",
     sheet(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1"><f>6*7</f><v>42</v></c>)"
           R"(<c r="D1" t="inlineStr"><is><t>in</t></is></c></row>)"
           R"(<row r="2"><c r="A2" t="s"><v>2</v></c></row>)")},
    {"xl/worksheets/sheet3.xml", sheet(R"(<row r="1"><c r="C1"><v>3.5</v></c></row>)")},
};

const Parts kPptx = {
    {"ppt/presentation.xml",
     "<p:presentation xmlns:p=\"p\" " + kRelNs +
         R"(><p:sldIdLst><p:sldId id="256" r:id="rId3"/>)"
         R"(<p:sldId id="257" r:id="rId2"/></p:sldIdLst></p:presentation>)"},
    {"ppt/_rels/presentation.xml.rels",
     rels({{"rId2", "slides/slide1.xml"}, {"rId3", "slides/slide2.xml"}})},
    {"ppt/slides/slide1.xml", slide("<a:p><a:r><a:t>second</a:t></a:r></a:p>")},
    {"ppt/slides/slide2.xml",
     slide("<a:p><a:pPr><a:tabLst><a:tab pos=\"1\"/></a:tabLst></a:pPr><a:r><a:t>Title</a:t>"
           "</a:r></a:p><a:p><a:r><a:t>Body</a:t></a:r><a:br/><a:r><a:t>more</a:t></a:r></a:p>")},
};

const Parts kOdt = {
    {"content.xml",
     odf("<office:text><text:h>Head</text:h><text:p>a<text:tab/>b<text:s text:c=\"3\"/>c"
         "<text:line-break/>d<text:s/>e</text:p></office:text>")},
};

const Parts kOdp = {
    {"content.xml", odf("<office:presentation><draw:page><draw:frame><draw:text-box>"
                        "<text:p>one</text:p><text:p>two</text:p></draw:text-box></draw:frame>"
                        "</draw:page><draw:page><draw:frame><draw:text-box><text:p>three</text:p>"
                        "</draw:text-box></draw:frame></draw:page></office:presentation>")},
};

// Empty repeats of a billion columns and a million rows must not expand.
const Parts kOds = {
    {"content.xml",
     odf("<office:spreadsheet><table:table>"
         "<table:table-row><table:table-cell><text:p>x</text:p></table:table-cell>"
         "<table:table-cell table:number-columns-repeated=\"3\"/>"
         "<table:table-cell><text:p>y</text:p></table:table-cell></table:table-row>"
         "<table:table-row table:number-rows-repeated=\"2\">"
         "<table:table-cell table:number-columns-repeated=\"2\"><text:p>r</text:p>"
         "</table:table-cell><table:table-cell table:number-columns-repeated=\"1000000000\"/>"
         "</table:table-row>"
         "<table:table-row table:number-rows-repeated=\"1048576\">"
         "<table:table-cell table:number-columns-repeated=\"1000000000\"/></table:table-row>"
         "<table:table-row><table:table-cell><text:p>p1</text:p><text:p>p2</text:p>"
         "</table:table-cell></table:table-row></table:table>"
         "<table:table><table:table-row><table:table-cell><text:p>z</text:p>"
         "</table:table-cell></table:table-row></table:table></office:spreadsheet>")},
};
}  // namespace

TEST(OfficeXmlFilter, EachFormatGivesItsChunkSequence) {
    struct {
        const char* name;
        const Parts& parts;
        std::vector<std::string> chunks;
    } cases[] = {
        {"a.docx", kDocx, {"N|\x93\x8c\x8b\x9e\tone", "P|two \nthree"}},
        {"a.xlsx", kXlsx, {"N|alpha\t42\t\tin\nline1\nline2", "C|beta", "C|\t\t3.5"}},
        {"a.pptx", kPptx, {"N|Title", "P|Body\nmore", "C|second"}},
        {"a.odt", kOdt, {"N|Head", "P|a\tb   c\nd e"}},
        {"a.odp", kOdp, {"N|one", "P|two", "C|three"}},
        {"a.ods", kOds, {"N|x\t\t\t\ty\nr\tr\nr\tr\np1\np2", "C|z"}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeZip(dir.path(c.name), c.parts);
        ChunkLog log;
        std::string extension(c.name);
        extension = extension.substr(extension.find('.') + 1);
        ExtractOutcome outcome = extractOfficeXml(dir.path(c.name), extension, log);
        EXPECT_EQ(outcome.result, ExtractResult::Extracted) << outcome.reason.view();
        EXPECT_EQ(log.chunks, c.chunks);
    }
}

// A docx whose deflated document has bytes flipped inside the entry's data.
static std::string damagedDocx(const TempDir& dir) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "<w:p><w:r><w:t>" + std::to_string(i) + "</w:t></w:r></w:p>";
    writeZip(dir.path("whole.docx"), {{"word/document.xml", word(text)}});
    std::string bytes = dir.read("whole.docx");
    for (size_t i = 60; i < 200; ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
    return bytes;
}

TEST(OfficeXmlFilter, BadPackagesFailWithAReason) {
    TempDir dir;
    const std::string doctype =
        "<!DOCTYPE d [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;\">]><d>&b;</d>";
    const std::string big = word("<w:p><w:r><w:t>" + std::string(1000, 'x') + "</w:t></w:r></w:p>");
    const std::string ole =
        std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0');
    const Parts encryptedOdt = {
        {"content.xml", kOdt[0].second},
        {"META-INF/manifest.xml",
         "<m:manifest xmlns:m=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
         "<m:file-entry m:full-path=\"content.xml\"><m:encryption-data/></m:file-entry>"
         "</m:manifest>"}};
    struct {
        const char* name;
        std::string reason;    // a part of the reason
        Parts parts = {};      // written as a zip unless raw is set
        std::string raw = {};  // the file's bytes
        uint64_t limit = kOfficeXmlInflateLimit;
        const char* password = nullptr;  // entries encrypted
    } cases[] = {
        {"text.docx", "not a zip", {}, "just text"},
        {"ole.docx", "encrypted", {}, ole},
        {"aes.docx", "encrypted", kDocx, "", kOfficeXmlInflateLimit, "pw"},
        {"manifest.odt", "encrypted", encryptedOdt},
        {"damaged.docx", "damaged", {}, damagedDocx(dir)},
        {"missing.docx", "missing part word/document.xml", {{"word/other.xml", "<a/>"}}},
        {"missing.ods", "missing part content.xml", {{"mimetype", "x"}}},
        {"entities.docx", "DOCTYPE", {{"word/document.xml", doctype}}},
        {"broken.docx", "XML error in word/document.xml", {{"word/document.xml", "<d><p></d>"}}},
        {"big.docx", "inflates past 500 bytes", {{"word/document.xml", big}}, "", 500},
        // Every part fits the limit alone; together they do not.
        {"parts.xlsx", "inflates past", kXlsx, "", 900},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.raw.empty())
            writeZip(dir.path(c.name), c.parts, c.password);
        else
            dir.write(c.name, c.raw);
        ChunkLog log;
        std::string extension(c.name);
        extension = extension.substr(extension.find('.') + 1);
        ExtractOutcome outcome = extractOfficeXml(dir.path(c.name), extension, log, c.limit);
        EXPECT_EQ(outcome.result, ExtractResult::Failed);
        EXPECT_NE(std::string(outcome.reason.view()).find(c.reason), std::string::npos)
            << outcome.reason.view();
    }
}

TEST(OfficeXmlFilter, StopsAsSoonAsTheSinkSaysSo) {
    TempDir dir;
    writeZip(dir.path("a.docx"), kDocx);
    ChunkLog log;
    log.stopAfter = 1;
    ExtractOutcome outcome = extractOfficeXml(dir.path("a.docx"), "DOCX", log);
    EXPECT_EQ(outcome.result, ExtractResult::Failed);
    EXPECT_EQ(log.chunks.size(), 1u);
}

TEST(OfficeXmlFilter, LongTextIsSplitBetweenCharacters) {
    std::string text, sjis;
    for (int i = 0; i < 30000; ++i) {
        text += "\xe6\x9d\xb1";  // three bytes in UTF-8
        sjis += "\x93\x8c";
    }
    TempDir dir;
    writeZip(dir.path("long.docx"),
             {{"word/document.xml", word("<w:p><w:r><w:t>" + text + "</w:t></w:r></w:p>")}});
    ChunkLog log;
    extractOfficeXml(dir.path("long.docx"), "docx", log);
    ASSERT_GT(log.chunks.size(), 1u);
    std::string joined;
    for (const std::string& chunk : log.chunks) {
        EXPECT_EQ(chunk[0], 'N');
        joined += chunk.substr(2);
    }
    EXPECT_EQ(joined, sjis);
}

TEST(OfficeXmlFilter, RepeatedTextStaysWithinItsAllowance) {
    TempDir dir;
    writeZip(
        dir.path("bomb.ods"),
        {{"content.xml",
          odf("<office:spreadsheet><table:table>"
              "<table:table-row table:number-rows-repeated=\"1000000000\">"
              "<table:table-cell "
              "table:number-columns-repeated=\"16384\"><text:p>kkkk</text:p></table:table-cell>"
              "</table:table-row></table:table></office:spreadsheet>")}});
    ChunkLog log;
    ExtractOutcome outcome = extractOfficeXml(dir.path("bomb.ods"), "ods", log);
    EXPECT_EQ(outcome.result, ExtractResult::Extracted);
    size_t total = 0;
    for (const std::string& chunk : log.chunks) total += chunk.size();
    EXPECT_LT(total, size_t{64} << 20);
}
