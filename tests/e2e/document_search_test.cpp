// Documents are searched through their converted texts, with and without
// the index; their result lines name the documents themselves, and a later
// search reuses the converted texts. Office documents are made by LibreOffice
// when it is installed; the RTF document is written here.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "common/office_documents.h"
#include "common/scoped_env.h"
#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

// What tells a rewritten file from the one that was there: inode and mtime.
std::pair<ino_t, int64_t> identity(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return {0, 0};
    return {st.st_ino, int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// The documents of the folder, by name: copies of LibreOffice's when it is
// there, and an RTF document of Shift-JIS hex escapes.
std::vector<std::string> writeDocuments(const TempDir& dir) {
    std::vector<std::string> names = {"note.rtf"};
    dir.write("docs/note.rtf",
              "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 first line\\par\n"
              "the \\'8b\\'9e\\'93\\'73 here\\par\n}");
    if (!officeAvailable()) return names;
    const std::vector<Paragraph> text = {{"東京の朝は早い。"}, {"京都の庭は静かだ。"}};
    const std::vector<Sheet> sheets = {{"一月", {{"東京"}}}, {"二月", {{"京都", "庭"}}}};
    const std::map<std::string, std::string> made = {
        {"report.docx", officeTextDocument(text, "docx")},
        {"memo.odt", officeTextDocument(text, "odt")},
        {"print.pdf", officeTextDocument(text, "pdf")},
        {"table.xlsx", officeWorkbook(sheets, "xlsx")},
    };
    for (const auto& [name, path] : made) {
        EXPECT_FALSE(path.empty()) << "soffice made no " << name;
        if (path.empty()) continue;
        std::filesystem::copy_file(path, dir.path("docs/" + name));
        names.push_back(name);
    }
    return names;
}

}  // namespace

TEST(DocumentSearch, DocumentsAreConvertedOnceAndNamedInTheResults) {
    TempDir dir;
    const std::vector<std::string> names = writeDocuments(dir);
    dir.write("docs/plain.txt", sj("京都へ\r\n"));
    const std::string folder = dir.path("docs");
    const std::vector<std::string> args = {"--files=*.*", "--set", "ixfDir=" + dir.path("ix"),
                                           "京都"};
    const QfResult plain = search(args, folder);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    const int files = int(names.size()) + 1;
    EXPECT_NE(plain.out.find(summary(files, files, files)), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find(hit(sj("京都")) + " here"), std::string::npos) << plain.out;
    EXPECT_TRUE(dir.exists("ix/.quillfind-index"));  // so that the clean-up may act there
    std::map<std::string, std::pair<ino_t, int64_t>> converted;
    for (const std::string& name : names) {
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
    if (!officeAvailable()) GTEST_SKIP() << "soffice is not on PATH: only RTF was searched";
}

TEST(DocumentSearch, AProgramWithoutItsPdfModuleSaysSoAndSearchesTheRest) {
    TempDir dir;
    const std::string qf = dir.path("bin/a/b/qf");
    std::filesystem::create_directories(dir.path("bin/a/b"));
    std::filesystem::copy_file(qfBinary(), qf);  // far from the build's module
    dir.write("docs/print.pdf", "%PDF-1.4\n");
    dir.write("docs/plain.txt", sj("京都へ\r\n"));
    const ScopedEnv copy("QF_BIN", qf.c_str());
    const QfResult r =
        search({"--files=*.*", "--set", "ixfDir=" + dir.path("ix"), "京都"}, dir.path("docs"));
    EXPECT_NE((r.out + r.err).find("quillfind_pdf.so"), std::string::npos) << r.out << r.err;
    EXPECT_NE(r.out.find(summary(1, 1, 2)), std::string::npos) << r.out;
}
