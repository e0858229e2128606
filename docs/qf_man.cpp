// Writes qf's manual page (roff, section 1) from its usage text to the file
// named by its argument, so that the page and `qf --help` never disagree.
// The usage text's layout is the input format: see the note above kQfUsage.
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/qf_options.h"

namespace {

// Roff text: backslashes and minus signs escaped, and a line that would
// start with a control character kept as text.
std::string roff(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

size_t indentOf(std::string_view line) {
    size_t n = line.find_first_not_of(' ');
    return n == std::string_view::npos ? line.size() : n;
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// One line of the options part: a heading, an item with its description,
// the continuation of one, or prose.
void writeBodyLine(std::string_view line, std::string& out) {
    const size_t indent = indentOf(line);
    if (line.empty()) return;
    if (indent == 0 && line.ends_with(':')) {
        out += ".SH " + upper(line.substr(0, line.size() - 1)) + "\n";
        return;
    }
    std::string_view rest = line.substr(indent);
    const size_t gap = rest.find("  ");
    if (indent <= 6 && gap != std::string_view::npos) {
        out += ".TP\n.B " + roff(rest.substr(0, gap)) + "\n";
        out += roff(rest.substr(rest.find_first_not_of(' ', gap))) + "\n";
        return;
    }
    out += roff(rest) + "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::vector<std::string_view> lines = linesOf(kQfUsage);
    std::string out;
    out += ".TH QF 1 \"\" \"Quillfind " + std::string(kQfVersion) + "\" \"User Commands\"\n";
    out += ".SH NAME\nqf \\- full\\-text search of Japanese text files\n.SH SYNOPSIS\n";
    // Up to the first blank line: "Usage: " lines and the lines indented
    // under them are the synopsis, the others the description.
    size_t i = 0;
    std::string synopsis, description;
    for (; i < lines.size() && !lines[i].empty(); ++i) {
        std::string_view line = lines[i];
        if (line.starts_with("Usage: ")) {
            line.remove_prefix(7);
        } else if (indentOf(line) > 0) {
            line.remove_prefix(indentOf(line));
        } else {
            description += roff(line) + "\n";
            continue;
        }
        synopsis += ".B " + roff(line) + "\n.br\n";
    }
    out += synopsis + ".SH DESCRIPTION\n" + description;
    // Prose after an item or a heading starts a paragraph of its own.
    bool prose = false;
    for (; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const size_t indent = indentOf(line);
        const bool isProse = indent == 2 && line.substr(2).find("  ") == std::string_view::npos;
        if (isProse && !prose) out += ".PP\n";
        prose = isProse;
        writeBodyLine(line, out);
    }
    std::ofstream file(argv[1], std::ios::binary);
    file << out;
    return file.flush() ? 0 : 1;
}
