// qf's output as a Unix tool's: UTF-8 text with colours or without, line
// ends a terminal shows as such, and what a failing stdout does to the run.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include "common/process_run.h"
#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

std::string sgr(const char* code, std::string_view text) {
    return "\x1b[" + std::string(code) + "m" + std::string(text) + "\x1b[0m";
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

TEST(QfTextOutput, FailingStdoutEndsTheRun) {
    TempDir dir;
    for (const char* name : {"a.txt", "b.txt"})
        dir.write(name, repeated("a line with abc in it\n", 20000));
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
        {{"--color=never", "abc", dir.path()}, QfStdout::FullDisk, 2, noSpace},
        {{"--raw", "nothing", dir.path()}, QfStdout::FullDisk, 2, noSpace},
        {{"--help"}, QfStdout::FullDisk, 2, noSpace},
        {{"--version"}, QfStdout::Closed, 2, badFd},
        {{"--raw", "abc", dir.path()}, QfStdout::Closed, 2, badFd},
        {{"--raw", "abc", dir.path()}, QfStdout::ReaderLeaves, sigpipe, ""},
        {{"--color=always", "abc", dir.path()}, QfStdout::ReaderLeaves, sigpipe, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"--no-config", "-q"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        QfResult r = runQfWith(args, c.how);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << int(c.how);
        EXPECT_EQ(r.err, c.err) << c.args[0] << " " << int(c.how);
    }
}

}  // namespace
