// qf's output as a Unix tool's: UTF-8 text with colours or without, line
// ends a terminal shows as such, control characters that never reach it,
// messages apart from the results, and what a failing stdout or Ctrl-C does
// to the run.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/process_run.h"
#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

std::string sgr(const char* code, std::string_view text) {
    return "\x1b[" + std::string(code) + "m" + std::string(text) + "\x1b[0m";
}

// The text without its colour sequences; any other ESC stays.
std::string withoutSgr(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t end = text.find_first_not_of("0123456789;", i + 2);
        if (text.substr(i, 2) == "\x1b[" && end != std::string_view::npos && text[end] == 'm')
            i = end;
        else
            out += text[i];
    }
    return out;
}

TEST(QfTextOutput, ColoursAndLineEnds) {
    TempDir dir;
    // Records end in CR LF, a bare CR and nothing at all.
    dir.write("a.txt", "東京 here\r\nabc\r東京\r");
    dir.write("b.txt", "end 東京");
    const std::string heads = "検索フォルダ: " + dir.path() + "\n検索文字列:「東京」\n";
    const std::string total = "発見数 3 (ヒット ファイル数 2/2)";
    struct Case {
        const char* color;
        std::string out;
    } cases[] = {
        {"--color=never",
         heads + "a.txt(1): 東京 here\na.txt(2): 東京\nb.txt(1): end 東京\n" + total + "\n"},
        {"--color=always", sgr("36", "検索フォルダ: " + dir.path()) + "\n" +
                               sgr("36", "検索文字列:「東京」") + "\n" + sgr("36", "a.txt(1): ") +
                               sgr("1;31", "東京") + " here\n" + sgr("36", "a.txt(2): ") +
                               sgr("1;31", "東京") + "\n" + sgr("36", "b.txt(1): ") + "end " +
                               sgr("1;31", "東京") + "\n" + sgr("36", total) + "\n"},
    };
    for (const Case& c : cases) {
        QfResult r = runQf({"--no-config", "-q", c.color, "東京", dir.path()});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, c.out) << c.color;
    }
}

TEST(QfTextOutput, ControlCharactersAreEscapedOutsideRawOutput) {
    TempDir dir;
    const std::string record = " \x1b]0;t\x07 \x7f\n";  // sets a terminal's title
    for (const char* name : {"e\x1b[31m.txt", "n\nl.txt", "u\xff.txt"})
        dir.write(std::string("d\a/") + name, "abc\n");
    dir.write("d\a/r.txt", "abc" + record);
    const std::string folder = dir.path("d\a"), shown = dir.path("d\\x07");
    const std::string heads = "検索フォルダ: " + shown + "\n検索文字列:「abc」\n";
    const std::string total = "発見数 4 (ヒット ファイル数 4/4)\n";
    std::string lines[2], counts;  // record as it is, escaped
    for (std::string name : {"e\\x1B[31m.txt", "n\\x0Al.txt", "r.txt", "u\\xFF.txt"}) {
        const bool r = name == "r.txt";
        lines[0] += name + "(1): abc" + (r ? record : "\n");
        lines[1] += name + "(1): abc" + (r ? " \\x1B]0;t\\x07 \\x7F\n" : "\n");
        counts += "   1    " + shown + "/" + name + "\n";
    }
    for (auto [option, out] : {std::pair{"--color=never", lines[0]},
                               {"--color=always", lines[1]},
                               {"--count", counts}}) {
        QfResult r = runQf({"--no-config", "-q", option, "abc", folder});
        EXPECT_EQ(withoutSgr(r.out), heads + out + total) << option;
    }
    // On a terminal (script(1) gives qf one) records are escaped without colours too.
    QfResult tty = runProgram({"script", "-qec",
                               qfBinary() + " --no-config -q --color=never abc '" + folder + "'",
                               "/dev/null"});
    std::erase(tty.out, '\r');  // the terminal's own line ends
    EXPECT_EQ(tty.out, heads + lines[1] + total);
    const std::string raw = search({"abc"}, folder).out;
    EXPECT_NE(raw.find(resultLine("r.txt(1)", hit("abc") + record) + marker(1) + "u"),
              std::string::npos)
        << "--raw keeps every byte";
    // A missing folder is an error, yet the others are searched.
    const QfResult gone = runQf({"--no-config", "-q", "abc", dir.path("gone\x1b"), folder});
    EXPECT_EQ(gone.exitCode, 2);
    EXPECT_TRUE(gone.out.ends_with(total)) << gone.out;
    EXPECT_EQ(gone.err, "qf: #10000: no such folder: " + dir.path("gone\\x1B") + "\n");
}

TEST(QfTextOutput, ResultViewMessagesJoinTheNumberedOnesOnStderr) {
    TempDir dir, ix;
    dir.write("a.txt", "abc\n");
    const std::vector<std::string> args{"--no-config",         "-q",  "--index", "--set",
                                        "ixfDir=" + ix.path(), "abc", dir.path()};
    ASSERT_EQ(runQf(args).exitCode, 0);
    std::string indexFile;
    for (const auto& e : std::filesystem::recursive_directory_iterator(ix.path()))
        if (e.path().extension() == ".qfd") indexFile = e.path().string();
    const std::string illegal = "illegal index file (illegal header): '" + indexFile + "'";
    for (const char* mode : {"--color=never", "--raw"}) {
        std::ofstream(indexFile, std::ios::binary | std::ios::trunc) << "not an index file\n";
        std::vector<std::string> modeArgs = args;
        modeArgs.insert(modeArgs.begin(), mode);
        QfResult r = runQf(modeArgs);
        const bool raw = mode == std::string_view("--raw");
        EXPECT_EQ(r.exitCode, 0) << "the index is rebuilt: nothing is missed";
        EXPECT_EQ(r.out.find(raw ? messageLine(illegal) : illegal) != std::string::npos, raw);
        EXPECT_EQ(r.err, raw ? "" : "qf: #30000: " + illegal + "\n");
    }
}

// Two files of 20000 hits each: enough output to fill a pipe.
void writeLongFiles(const TempDir& dir) {
    for (const char* name : {"a.txt", "b.txt"})
        dir.write(name, repeated("a line with abc in it\n", 20000));
}

TEST(QfTextOutput, FailingStdoutEndsTheRun) {
    TempDir dir;
    writeLongFiles(dir);
    const std::string noSpace = std::string("qf: write error: ") + std::strerror(ENOSPC) + "\n";
    const std::string badFd = std::string("qf: write error: ") + std::strerror(EBADF) + "\n";
    // A reader that leaves ends qf as it ends grep, without a word.
    const int sigpipe = 128 + SIGPIPE;
    struct Case {
        std::vector<std::string> args;
        QfStdout how;
        int exitCode;
        std::string err;
    } cases[] = {
        {{"--raw", "abc", dir.path()}, QfStdout::FullDisk, 2, noSpace},
        {{"--help"}, QfStdout::FullDisk, 2, noSpace},
        {{"--version"}, QfStdout::Closed, 2, badFd},
        {{"--raw", "abc", dir.path()}, QfStdout::Closed, 2, badFd},
        {{"--raw", "abc", dir.path()}, QfStdout::ReaderLeaves, sigpipe, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"--no-config", "-q"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        QfResult r = runQfWith(args, c.how);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << int(c.how);
        EXPECT_EQ(r.err, c.err) << c.args[0] << " " << int(c.how);
    }
}

// Ctrl-C comes after the first output (the handler is in place), in the
// first file while qf waits on the full pipe: qf stops at the next record,
// still writes the stopped line and the summary of the counts reached, and
// ends by its own exit with the status of an interrupted command.
TEST(QfTextOutput, InterruptStopsWithSummaryOfTheCountsSoFar) {
    TempDir dir;
    writeLongFiles(dir);
    QfResult r =
        runQfWith({"--raw", "--no-config", "-q", "abc", dir.path()}, QfStdout::Interrupted);
    EXPECT_EQ(r.exitCode, 130);
    const std::string stopped = messageLine(sj("中止しました")), hitsWord = sj("発見数 ");
    const size_t at = r.out.rfind(stopped + hitsWord);
    ASSERT_NE(at, std::string::npos) << r.out;
    // One file searched (with hits), fewer hits than it holds.
    const int hits = std::stoi(r.out.substr(at + stopped.size() + hitsWord.size()));
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, 20000);
    EXPECT_EQ(r.out.substr(at), stopped + summary(hits, 1, 1));
}

}  // namespace
