#include "cli/qf_options.h"

#include <cstring>
#include <string_view>

#include "config/ini_value_text.h"

const char kQfUsage[] =
    "Usage: qf [OPTIONS] SEARCH_STRING FOLDER...\n"
    "       qf --delete-old-index | --delete-all-index\n"
    "Searches the text files in the FOLDERs (joined by \";\") for SEARCH_STRING and\n"
    "prints the matching records as \"file(line): record\" with the hits marked.\n"
    "Files may be Shift-JIS, UTF-8 or UTF-16; output is UTF-8 (or raw Shift-JIS).\n"
    "\n"
    "Search:\n"
    "  -t, --type=normal|regex|fuzzy   search type (default: the configuration's)\n"
    "  -i, --ignore-case               ignore case          --match-case  respect case\n"
    "  -w, --ignore-width              treat full-width and half-width forms alike\n"
    "      --stem                      ignore symbols, spaces and English word endings\n"
    "      --words                     match whole words only\n"
    "      --field-match               the string must match a whole field\n"
    "  -c, --count                     print per-file hit counts instead of records\n"
    "  -r, --subdirs                   include subfolders\n"
    "      --index                     use (and build) the search index\n"
    "  -f, --files=MASKS               file-name masks separated by \";\" (default \"*.txt\")\n"
    "      --min-rate=N                minimum match rate of a fuzzy search in percent\n"
    "                                  (default 75); hits rated N-1 and above are shown\n"
    "      --sort-by-rate              write the result lines at the end, highest match\n"
    "                                  rate first, with a tab after the position\n"
    "      --set KEY=VALUE             set any configuration key (repeatable)\n"
    "  A fuzzy search finds text that resembles SEARCH_STRING. A window slightly\n"
    "  longer than the string slides over each record and is aligned with it; its\n"
    "  rate is the share of common characters (one changed character of eight gives\n"
    "  87%). Each result line shows the best rate after the position; characters\n"
    "  only in the record are shown blue and underlined, characters of the string\n"
    "  missing from the record red and struck out. Strings of fewer than 4\n"
    "  characters are searched normally. A fuzzy search always uses the index.\n"
    "\n"
    "Settings:\n"
    "      --cf=PATH                   read this configuration file instead of\n"
    "                                  $XDG_CONFIG_HOME/VeloSoft/Quillfind.cfg\n"
    "      --no-config                 start from the defaults (qf never writes the file)\n"
    "\n"
    "Output:\n"
    "      --raw                       write the result text as Shift-JIS bytes with the\n"
    "                                  font markers (what the result view receives)\n"
    "      --color=auto|always|never   colour the hits on a terminal (default auto)\n"
    "  -q, --quiet                     no progress line on stderr\n"
    "\n"
    "Index maintenance:\n"
    "      --delete-old-index          delete index data whose source is gone or changed\n"
    "      --delete-all-index          delete all index data\n"
    "  With --index a search keeps one index file per searched folder in the index\n"
    "  folder (key ixfDir, default $XDG_CACHE_HOME/VeloSoft/Quillfind_ix/) and reads\n"
    "  only the parts of each file that can hold the search string. The two commands\n"
    "  act only in a folder holding the marker file .quillfind-index, which the\n"
    "  program writes when it creates the folder; other files there are left alone.\n"
    "\n"
    "  -h, --help                      show this text\n"
    "      --version                   show the version\n"
    "\n"
    "Exit status: 0 something was found, 1 nothing was found, 2 usage error.\n"
    "Messages go to stderr as \"qf: #N: text\".\n";

namespace {

struct Flag {
    const char* longName;
    char shortName;
    const char* setting;  // configuration-file syntax
};

constexpr Flag kFlags[] = {
    {"ignore-case", 'i', "schICaseF=1"}, {"match-case", 0, "schICaseF=0"},
    {"ignore-width", 'w', "schIZhF=1"},  {"stem", 0, "schStemF=1"},
    {"words", 0, "schWord=1"},           {"field-match", 0, "schFieldMchF=1"},
    {"count", 'c', "schCount=1"},        {"subdirs", 'r', "schSubDir=1"},
    {"index", 0, "schUseIX=1"},          {"sort-by-rate", 0, "schSortByRate=1"},
};

// Splits "--name=value"; value is empty without "=".
bool splitLong(std::string_view arg, std::string_view& name, std::string_view& value,
               bool& hasValue) {
    if (!arg.starts_with("--")) return false;
    arg.remove_prefix(2);
    size_t eq = arg.find('=');
    hasValue = eq != std::string_view::npos;
    name = arg.substr(0, eq);
    value = hasValue ? arg.substr(eq + 1) : std::string_view();
    return true;
}

class Parser {
public:
    Parser(int argc, char** argv) : argc_(argc), argv_(argv) {}
    std::optional<QfOptions> run(std::string& error);

private:
    bool takeValue(std::string_view name, bool hasValue, std::string_view& value);
    bool option(std::string_view name, std::string_view value, bool hasValue);
    bool shortOptions(std::string_view letters);

    int argc_;
    char** argv_;
    int i_ = 1;
    QfOptions o_;
    std::vector<std::string> positional_;
    std::string error_;
};

bool Parser::takeValue(std::string_view name, bool hasValue, std::string_view& value) {
    if (hasValue) return true;
    if (i_ + 1 >= argc_) {
        error_ = "option --" + std::string(name) + " needs a value";
        return false;
    }
    value = argv_[++i_];
    return true;
}

bool Parser::option(std::string_view name, std::string_view value, bool hasValue) {
    for (const Flag& f : kFlags)
        if (name == f.longName) {
            o_.keyOptions.emplace_back(f.setting);
            return true;
        }
    if (name == "help") return o_.action = QfAction::Help, true;
    if (name == "version") return o_.action = QfAction::Version, true;
    if (name == "delete-old-index") return o_.action = QfAction::DeleteOldIndex, true;
    if (name == "delete-all-index") return o_.action = QfAction::DeleteAllIndex, true;
    if (name == "raw") return o_.raw = true;
    if (name == "quiet") return o_.quiet = true;
    if (name == "no-config") return o_.noConfig = true;
    if (!takeValue(name, hasValue, value)) return false;
    if (name == "cf") return o_.configPath = std::string(value), true;
    if (name == "set") {
        size_t eq = value.find('=');
        if (eq == std::string_view::npos || eq == 0) {
            error_ = "--set needs KEY=VALUE";
            return false;
        }
        o_.sets.emplace_back(value);
        return true;
    }
    if (name == "files")
        return o_.keyOptions.push_back("schFile=" + std::string(escapeIniText(value).view())), true;
    if (name == "min-rate") return o_.keyOptions.push_back("minRate=" + std::string(value)), true;
    if (name == "type") {
        const char* n = value == "normal"  ? "1"
                        : value == "regex" ? "2"
                        : value == "fuzzy" ? "3"
                                           : "";
        if (!*n) {
            error_ = "--type must be normal, regex or fuzzy";
            return false;
        }
        o_.keyOptions.push_back(std::string("schType=") + n);
        return true;
    }
    if (name == "color") {
        if (value == "auto") return o_.color = ColorMode::Auto, true;
        if (value == "always") return o_.color = ColorMode::Always, true;
        if (value == "never") return o_.color = ColorMode::Never, true;
        error_ = "--color must be auto, always or never";
        return false;
    }
    error_ = "unknown option --" + std::string(name);
    return false;
}

bool Parser::shortOptions(std::string_view letters) {
    for (size_t k = 0; k < letters.size(); ++k) {
        char c = letters[k];
        const char* longName = nullptr;
        for (const Flag& f : kFlags)
            if (f.shortName == c) longName = f.longName;
        if (c == 'h') longName = "help";
        if (c == 'q') longName = "quiet";
        if (c == 't' || c == 'f') {
            std::string_view rest = letters.substr(k + 1);
            return option(c == 't' ? "type" : "files", rest, !rest.empty());
        }
        if (!longName) {
            error_ = std::string("unknown option -") + c;
            return false;
        }
        if (!option(longName, {}, false)) return false;
    }
    return true;
}

std::optional<QfOptions> Parser::run(std::string& error) {
    bool onlyPositional = false;
    for (; i_ < argc_; ++i_) {
        std::string_view arg = argv_[i_];
        std::string_view name, value;
        bool hasValue = false;
        bool ok = true;
        if (onlyPositional || arg == "-" || !arg.starts_with("-"))
            positional_.emplace_back(arg);
        else if (arg == "--")
            onlyPositional = true;
        else if (splitLong(arg, name, value, hasValue))
            ok = option(name, value, hasValue);
        else
            ok = shortOptions(arg.substr(1));
        if (!ok) {
            error = error_;
            return std::nullopt;
        }
    }
    if (o_.action == QfAction::Search) {
        if (positional_.size() < 2) {
            error = "a search string and at least one folder are needed";
            return std::nullopt;
        }
        o_.searchString = positional_[0];
        o_.folders.assign(positional_.begin() + 1, positional_.end());
    } else if (!positional_.empty() && o_.action != QfAction::Help &&
               o_.action != QfAction::Version) {
        error = "unexpected argument '" + positional_[0] + "'";
        return std::nullopt;
    }
    return o_;
}

}  // namespace

std::optional<QfOptions> parseQfOptions(int argc, char** argv, std::string& error) {
    return Parser(argc, argv).run(error);
}
