// Documents are searched through their converted texts, with and without
// the index, and their result lines name the documents themselves.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "common/office_documents.h"
#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

TEST(DocumentSearch, RtfIsSearchedThroughItsText) {
    TempDir dir;
    dir.write("docs/note.rtf",
              "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 first line\\par\n"
              "the quillword here\\par\n}");
    dir.write("docs/plain.txt", "another quillword\r\n");
    const std::string folder = dir.path("docs");
    const std::vector<std::string> args = {"--files=*.rtf;*.txt", "--set",
                                           "ixfDir=" + dir.path("ix"), "quillword"};
    const QfResult plain = search(args, folder);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_NE(plain.out.find(marker(1) + "note.rtf("), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find(hit("quillword") + " here"), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find(summary(2, 2, 2)), std::string::npos) << plain.out;
    EXPECT_EQ(plain.out.find("\\par"), std::string::npos);  // not the raw RTF
    EXPECT_TRUE(dir.exists("ix/.quillfind-index"));         // so that the clean-up may act there

    std::vector<std::string> indexed = args;
    indexed.insert(indexed.begin(), "--index");
    for (int run = 0; run < 2; ++run) {  // building the index, then reusing it
        const QfResult withIndex = search(indexed, folder);
        EXPECT_TRUE(withIndex.out == plain.out) << run << withIndex.out;
        EXPECT_EQ(withIndex.err, plain.err) << run;
    }
}

namespace {

// What tells a rewritten file from the one that was there: inode and mtime.
std::pair<ino_t, int64_t> identity(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return {0, 0};
    return {st.st_ino, int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

}  // namespace

TEST(DocumentSearch, RealDocumentsAreConvertedOnceAndNamedInTheResults) {
    if (!officeAvailable()) GTEST_SKIP() << "soffice is not on PATH";
    const std::vector<Paragraph> text = {{"東京の朝は早い。"}, {"京都の庭は静かだ。"}};
    const std::vector<Sheet> sheets = {{"一月", {{"東京"}}}, {"二月", {{"京都", "庭"}}}};
    const std::map<std::string, std::string> documents = {
        {"report.docx", officeTextDocument(text, "docx")},
        {"memo.odt", officeTextDocument(text, "odt")},
        {"print.pdf", officeTextDocument(text, "pdf")},
        {"table.xlsx", officeWorkbook(sheets, "xlsx")},
    };
    TempDir dir;
    std::filesystem::create_directories(dir.path("docs"));
    for (const auto& [name, made] : documents) {
        ASSERT_FALSE(made.empty()) << "soffice made no " << name;
        std::filesystem::copy_file(made, dir.path("docs/" + name));
    }
    dir.write("docs/plain.txt", sj("京都へ\r\n"));
    const std::string folder = dir.path("docs");
    const std::vector<std::string> args = {"--files=*.*", "--set", "ixfDir=" + dir.path("ix"),
                                           "京都"};
    const QfResult plain = search(args, folder);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_NE(plain.out.find(summary(5, 5, 5)), std::string::npos) << plain.out;
    std::map<std::string, std::pair<ino_t, int64_t>> converted;
    for (const auto& [name, made] : documents) {
        EXPECT_NE(plain.out.find(marker(1) + name + "("), std::string::npos) << name;
        EXPECT_EQ(plain.out.find(name + ".txt"), std::string::npos) << name;
        converted[name] = identity(dir.path("ix/x_" + folder + "/" + name + ".txt"));
        EXPECT_NE(converted[name].first, 0u) << name;
    }

    std::vector<std::string> indexed = args;
    indexed.insert(indexed.begin(), "--index");
    for (int run = 0; run < 2; ++run) {  // building the index, then reusing it
        const QfResult withIndex = search(indexed, folder);
        EXPECT_TRUE(withIndex.out == plain.out) << run << withIndex.out;
        EXPECT_EQ(withIndex.err, plain.err) << run;
    }
    for (const auto& [name, before] : converted)  // not converted again
        EXPECT_EQ(identity(dir.path("ix/x_" + folder + "/" + name + ".txt")), before) << name;
}
