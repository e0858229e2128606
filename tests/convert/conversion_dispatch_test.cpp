// Which files are converted, when a converted text is reused, when it goes
// away, and what the converted-text writer makes of document chunks.
#include "convert/conversion_dispatch.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "convert/converted_text.h"
#include "convert/text_reader.h"
#include "search/open_reader.h"
#include "support/stop_flag.h"
#include "text/stream_reading.h"

namespace {

struct Opened {
    std::string text;
    std::string converted;  // the converted text's path, empty when none
};

Opened openText(const std::string& path, const ConversionOptions& options) {
    LStr converted;
    auto reader = openTextReader(path, options, &converted);
    if (!reader) return {"<closed>", ""};
    LStr text;
    readAllBytes(*reader, text);
    return {std::string(text.view()), std::string(converted.view())};
}

class ConversionDispatch : public ::testing::Test {
protected:
    ConversionOptions options() const { return {LStr(index_.path()), true, false}; }
    // Where the converted text of a document of the test folder goes.
    std::string convertedOf(const std::string& document) const {
        return index_.path() + "/x_" + document + ".txt";
    }
    TempDir docs_;
    TempDir index_;
};

TEST_F(ConversionDispatch, ExtensionAndFirstBytesChooseTheReading) {
    const std::string rtf = "{\\rtf1 hello}";
    struct {
        const char* name;
        std::string bytes;
        bool converted;
        int messages;
    } cases[] = {
        {"plain.txt", rtf, false, 0},
        {"upper.TXT", rtf, false, 0},
        {"page.Html", rtf, false, 0},
        {"doc.rtf", rtf, true, 0},
        {"upper.RTF", rtf, true, 0},
        {"late.rtf", "hello " + rtf, false, 0},  // no RTF start: no filter reads it
        {"other.xyz", rtf, false, 0},
        {"noext", rtf, false, 0},
        {"broken.docx", "not a document hello", false, 1},
        {"broken.pdf", "not a document hello", false, 1},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        const std::string path = docs_.write(c.name, c.bytes);
        const Opened opened = openText(path, options());
        EXPECT_NE(opened.text.find("hello"), std::string::npos) << c.name;
        EXPECT_EQ(!opened.converted.empty(), c.converted) << c.name;
        EXPECT_EQ(std::filesystem::exists(convertedOf(path)), c.converted) << c.name;
        if (!c.converted) {
            EXPECT_EQ(opened.text, c.bytes) << c.name;
        }
        ASSERT_EQ(int(sink.messages().size()), c.messages) << c.name << sink.allText();
        if (c.messages) {
            EXPECT_NE(sink.allText().find(c.name), std::string::npos);
        }
    }
    EXPECT_EQ(openText(docs_.path("none.rtf"), options()).text, "<closed>");
}

TEST_F(ConversionDispatch, ConvertedTextIsReusedUntilTheDocumentIsNewer) {
    namespace fs = std::filesystem;
    const std::string path = docs_.write("a.rtf", "{\\rtf1 first}");
    const int64_t before = documentConversionCount();
    EXPECT_NE(openText(path, options()).text.find("first"), std::string::npos);
    EXPECT_EQ(documentConversionCount(), before + 1);

    // A converted text not older than its document is read as it is.
    docs_.write("a.rtf", "{\\rtf1 second}");
    fs::last_write_time(convertedOf(path), fs::last_write_time(path));
    EXPECT_NE(openText(path, options()).text.find("first"), std::string::npos);
    EXPECT_EQ(documentConversionCount(), before + 1);

    fs::last_write_time(convertedOf(path), fs::last_write_time(path) - std::chrono::seconds(5));
    EXPECT_NE(openText(path, options()).text.find("second"), std::string::npos);
    EXPECT_EQ(documentConversionCount(), before + 2);
}

TEST_F(ConversionDispatch, SearchReaderRemovesTheConvertedTextUnlessKept) {
    const std::string path = docs_.write("a.rtf", "{\\rtf1 text}");
    for (bool keep : {true, false}) {
        ConversionOptions conversion = options();
        conversion.keepConverted = keep;
        TReader reader;
        ASSERT_TRUE(openReader(reader, LStr(path), "", false, conversion));
        EXPECT_TRUE(std::filesystem::exists(convertedOf(path)));
        reader.close();
        EXPECT_EQ(std::filesystem::exists(convertedOf(path)), keep) << keep;
    }
}

TEST(ConvertedTextWriter, SeparatorsLineEndsAndEscapes) {
    TempDir dir;
    const std::string path = dir.path("out.txt");
    {
        ConvertedTextWriter writer(path);
        const std::pair<ChunkBreak, std::u16string> chunks[] = {
            {ChunkBreak::None, u"a\nb"},      {ChunkBreak::Word, u" c\r"},
            {ChunkBreak::None, u"\nd"},       {ChunkBreak::Sentence, u"e"},
            {ChunkBreak::Chapter, u"\u65e5"}, {ChunkBreak::Paragraph, u"\U0001F600"},
        };
        for (const auto& [before, text] : chunks) ASSERT_TRUE(writer.chunk(before, text));
        EXPECT_FALSE(std::filesystem::exists(path));  // nothing in place before commit
        ASSERT_TRUE(writer.commit());
    }
    EXPECT_EQ(dir.read("out.txt"),
              "a\r\nb c\r\nd\r\n----\r\ne\r\n----\r\n\x93\xfa\r\n----\r\n{%uD83D}{%uDE00}");
}

TEST(ConvertedTextWriter, StopOrNoCommitLeavesNothing) {
    TempDir dir;
    {
        ConvertedTextWriter writer(dir.path("a.txt"));
        ASSERT_TRUE(writer.chunk(ChunkBreak::None, u"text"));
    }
    {
        ConvertedTextWriter writer(dir.path("b.txt"));
        stopFlag() = 1;
        EXPECT_FALSE(writer.chunk(ChunkBreak::None, u"text"));
        EXPECT_FALSE(writer.commit());
        stopFlag() = 0;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
