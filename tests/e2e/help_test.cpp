// qf's usage text, version, manual page and bash completion: each names
// every option the parser takes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/qf_options.h"
#include "common/process_run.h"
#include "common/qf_runner.h"
#include "common/temp_dir.h"

namespace {

// Whether "--name" stands in text as a whole option name (in roff "-" is "\-").
bool namesOption(const std::string& text, std::string_view name, bool roff) {
    std::string option;
    for (char c : "--" + std::string(name)) option += roff && c == '-' ? "\\-" : std::string(1, c);
    for (size_t at = text.find(option); at != std::string::npos; at = text.find(option, at + 1)) {
        const char next = at + option.size() < text.size() ? text[at + option.size()] : ' ';
        if (next == '=' || next == ' ' || next == '\n') return true;
    }
    return false;
}

// What the bash completion offers (one per line) for the words after the
// command; the last word is the one completed.
std::string completions(const std::vector<std::string>& words) {
    const std::string script = std::string(QF_SOURCE_DIR) + "/scripts/qf-completion.bash";
    std::string line = "'" + qfBinary() + "'";
    for (const std::string& w : words) line += " '" + w + "'";
    const std::string program = "source '" + script + "'; COMP_WORDS=(" + line +
                                "); COMP_CWORD=" + std::to_string(words.size()) +
                                "; _qf; printf '%s\\n' \"${COMPREPLY[@]}\"";
    return runProgram({"bash", "-c", program}).out;
}

TEST(QfUsage, HelpManualPageAndCompletionNameEveryOption) {
    QfResult help = runQf({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: qf")) << help.out;
    EXPECT_EQ(runQf({"--version"}).out, std::string("qf (Quillfind) ") + kQfVersion + "\n");
    std::stringstream page;
    page << std::ifstream(std::string(QF_BINARY_DIR) + "/qf.1").rdbuf();
    const std::string man = page.str();
    ASSERT_TRUE(man.starts_with(".TH QF 1")) << "the manual page is generated";
    const std::string offered = "\n" + completions({"--"});
    for (std::string_view name : qfLongOptionNames()) {
        EXPECT_TRUE(namesOption(help.out, name, false)) << name;
        EXPECT_TRUE(namesOption(man, name, true)) << name;
        EXPECT_TRUE(namesOption(offered, name, false)) << "completion of " << name;
    }
    // Text lines of the page never read as requests.
    std::istringstream lines(man);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with(".") && !line.starts_with("'")) continue;
        EXPECT_TRUE(line.starts_with(".TH ") || line.starts_with(".SH ") || line == ".TP" ||
                    line.starts_with(".B ") || line == ".PP" || line == ".br")
            << line;
    }
}

TEST(QfUsage, BashCompletionOffersValuesAndFoldersOnly) {
    TempDir dir;
    dir.write("sub/a.txt", "");
    dir.write("subfile", "");
    const std::string folder = dir.path("su");
    EXPECT_EQ(completions({"--color", "=", "a"}), "auto\nalways\n");
    EXPECT_EQ(completions({"abc", folder}), folder + "b\n");
}

}  // namespace
