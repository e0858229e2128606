#include "cli/qf_options.h"

#include <string_view>

#include "cli/utf8_text.h"
#include "config/ini_value_text.h"
#include "config/option_checks.h"
#include "search/search_request.h"

const char kQfVersion[] = QF_VERSION;

// The layout below is read by the man page generator: headings end in ":"
// at the start of a line; an option or value starts within the first six
// columns and is followed by two blanks or more; lines indented further
// continue its description; other lines indented by two are prose.
const char kQfUsage[] =
    "Usage: qf [OPTIONS] SEARCH_STRING FOLDER...\n"
    "       qf --delete-old-index | --delete-all-index\n"
    "Searches the text files in the FOLDERs (joined by \";\") for SEARCH_STRING and\n"
    "prints the matching records as \"file(line): record\" with the hits marked.\n"
    "Files may be Shift-JIS, UTF-8 or UTF-16; output is UTF-8 (or raw Shift-JIS).\n"
    "\n"
    "Search:\n"
    "  -t, --type=normal|regex|fuzzy   search type (default: the configuration's)\n"
    "  -i, --ignore-case               ignore case\n"
    "      --match-case                respect case\n"
    "  -w, --ignore-width              treat full-width and half-width forms alike\n"
    "      --stem                      ignore symbols, spaces and English endings\n"
    "      --words                     match whole words only\n"
    "      --field-match               the string must match a whole field\n"
    "  -c, --count                     print per-file hit counts instead of records\n"
    "  -r, --subdirs                   include subfolders\n"
    "      --index                     use (and build) the search index\n"
    "  -f, --files=MASKS               file masks joined by \";\" (default \"*.txt\")\n"
    "      --min-rate=N                lowest match rate of a fuzzy search, 60 to 100\n"
    "                                  (default 75); hits rated N-1 and above show\n"
    "      --sort-by-rate              write the result lines at the end, highest\n"
    "                                  rate first, with a tab after the position\n"
    "      --threads=N                 search N files at once (0: one per processor,\n"
    "                                  the default; key searchThreads); the output\n"
    "                                  is the same for any N\n"
    "  A fuzzy search finds text that resembles SEARCH_STRING. A window slightly\n"
    "  longer than the string slides over each record and is aligned with it; its\n"
    "  rate is the share of common characters (one changed character of eight gives\n"
    "  87%). Each result line shows the best rate after the position; characters\n"
    "  only in the record are shown blue and underlined, characters of the string\n"
    "  missing from the record red and struck out. Strings of fewer than 4\n"
    "  characters are searched normally. A fuzzy search always uses the index.\n"
    "\n"
    "Records:\n"
    "      --record-separator=PATTERN  the regular expression that ends a record\n"
    "                                  (default [\\x0A\\x0D]+: a record is a line)\n"
    "      --field-separator=PATTERN   the regular expression between the fields of\n"
    "                                  a record (default \\t)\n"
    "      --search-area=PATTERN       search only the part of each record that the\n"
    "                                  group of PATTERN matches, as in ^Title:(.*)\n"
    "  These options take the pattern as typed, while in a --set value \"!\" starts\n"
    "  an escape of configuration-file syntax (\"![\" for \"(\", \"!Q\" for \"!\").\n"
    "\n"
    "Settings:\n"
    "      --set KEY=VALUE             set any configuration key, the value as in the\n"
    "                                  configuration file (repeatable); a value that\n"
    "                                  reads back otherwise is warned about\n"
    "      --cf=PATH                   read this configuration file instead of\n"
    "                                  $XDG_CONFIG_HOME/VeloSoft/Quillfind.cfg\n"
    "      --no-config                 start from the defaults (never writes a file)\n"
    "\n"
    "Output:\n"
    "      --raw                       write the result text as Shift-JIS bytes with\n"
    "                                  the font markers (what the result view gets)\n"
    "      --color=auto|always|never   colour the hits on a terminal (default auto)\n"
    "  -q, --quiet                     no progress line on stderr\n"
    "  Without --raw every line ends with a line feed, and control characters of\n"
    "  file and folder names (on a terminal or with colours, of records too) show\n"
    "  as \\xNN, as do bytes of a name that are not UTF-8. Messages, the result\n"
    "  text's own included (an unreadable index file, a stopped search), go to\n"
    "  stderr as \"qf: #N: text\"; --raw keeps the latter in the result text.\n"
    "\n"
    "Index maintenance:\n"
    "      --delete-old-index          delete index data whose source is gone or new\n"
    "      --delete-all-index          delete all index data\n"
    "  With --index a search keeps one index file per searched folder in the index\n"
    "  folder (key ixfDir, default $XDG_CACHE_HOME/VeloSoft/Quillfind_ix/) and reads\n"
    "  only the parts of each file that can hold the search string. The two commands\n"
    "  act only in a folder holding the marker file .quillfind-index, which the\n"
    "  program writes when it creates the folder; other files there are left alone.\n"
    "\n"
    "Information:\n"
    "  -h, --help                      show this text\n"
    "      --version                   show the version\n"
    "\n"
    "Exit status:\n"
    "  0                               something was found\n"
    "  1                               nothing was found\n"
    "  2                               an error, even when something was found: a\n"
    "                                  usage error, a missing folder, a defective\n"
    "                                  pattern, a file or folder that could not be\n"
    "                                  read, output that could not be written\n"
    "  130                             interrupted by Ctrl-C (after the summary)\n"
    "  When the reader of the output goes away (as in qf ... | head -1), qf stops\n"
    "  the search and ends by the signal SIGPIPE, as other tools do.\n";

namespace {

// What an option does with its value.
enum class Does {
    SetKey,      // adds its fixed setting
    SetText,     // sets its key to the value as typed
    SetMinRate,  // minRate, checked as the options dialog checks it
    SetThreads,  // searchThreads
    SetType,     // schType from normal, regex or fuzzy
    Set,         // a --set line
    Act,         // chooses what qf does
    ConfigFile,
    NoConfig,
    Raw,
    Color,
    Quiet,
};

struct OptionSpec {
    const char* longName;
    char shortName;  // 0: none
    Does does;
    const char* key = nullptr;  // SetKey: "key=value"; SetText: the key
    QfAction action = QfAction::Search;
};

constexpr OptionSpec kOptions[] = {
    {"type", 't', Does::SetType},
    {"ignore-case", 'i', Does::SetKey, "schICaseF=1"},
    {"match-case", 0, Does::SetKey, "schICaseF=0"},
    {"ignore-width", 'w', Does::SetKey, "schIZhF=1"},
    {"stem", 0, Does::SetKey, "schStemF=1"},
    {"words", 0, Does::SetKey, "schWord=1"},
    {"field-match", 0, Does::SetKey, "schFieldMchF=1"},
    {"count", 'c', Does::SetKey, "schCount=1"},
    {"subdirs", 'r', Does::SetKey, "schSubDir=1"},
    {"index", 0, Does::SetKey, "schUseIX=1"},
    {"files", 'f', Does::SetText, "schFile"},
    {"min-rate", 0, Does::SetMinRate},
    {"sort-by-rate", 0, Does::SetKey, "schSortByRate=1"},
    {"threads", 0, Does::SetThreads},
    {"record-separator", 0, Does::SetText, "recSeparEsc"},
    {"field-separator", 0, Does::SetText, "fldSeparEsc"},
    {"search-area", 0, Does::SetText, "schAreaInRec"},
    {"set", 0, Does::Set},
    {"cf", 0, Does::ConfigFile},
    {"no-config", 0, Does::NoConfig},
    {"raw", 0, Does::Raw},
    {"color", 0, Does::Color},
    {"quiet", 'q', Does::Quiet},
    {"delete-old-index", 0, Does::Act, nullptr, QfAction::DeleteOldIndex},
    {"delete-all-index", 0, Does::Act, nullptr, QfAction::DeleteAllIndex},
    {"help", 'h', Does::Act, nullptr, QfAction::Help},
    {"version", 0, Does::Act, nullptr, QfAction::Version},
};

bool takesValue(Does does) {
    switch (does) {
        case Does::SetText:
        case Does::SetMinRate:
        case Does::SetThreads:
        case Does::SetType:
        case Does::Set:
        case Does::ConfigFile:
        case Does::Color:
            return true;
        default:
            return false;
    }
}

const OptionSpec* findLong(std::string_view name) {
    for (const OptionSpec& spec : kOptions)
        if (name == spec.longName) return &spec;
    return nullptr;
}

const OptionSpec* findShort(char letter) {
    for (const OptionSpec& spec : kOptions)
        if (spec.shortName == letter) return &spec;
    return nullptr;
}

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

// Keeps what the options dialog's checks would have told the user.
class RefusalText : public OptionDialogUser {
public:
    void tell(std::string_view message) override { text = sjisToUtf8(message); }
    bool ask(std::string_view) override { return false; }
    std::string text;
};

// A whole decimal number, sign allowed; nothing else around it.
std::optional<int32_t> wholeNumber(std::string_view text) {
    size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i == text.size() || text.size() - i > 9) return std::nullopt;
    int32_t value = 0;
    for (size_t k = i; k < text.size(); ++k) {
        if (text[k] < '0' || text[k] > '9') return std::nullopt;
        value = value * 10 + (text[k] - '0');
    }
    return text[0] == '-' ? -value : value;
}

class Parser {
public:
    Parser(int argc, char** argv) : argc_(argc), argv_(argv) {}
    std::optional<QfOptions> run(std::string& error);

private:
    bool option(const OptionSpec& spec, std::string_view value, bool hasValue);
    bool valueOption(const OptionSpec& spec, std::string_view value);
    bool minRate(std::string_view value);
    bool longOption(std::string_view arg);
    bool shortOptions(std::string_view letters);
    bool positionals();

    int argc_;
    char** argv_;
    int i_ = 1;
    QfOptions o_;
    std::vector<std::string> positional_;
    std::string error_;
};

bool Parser::option(const OptionSpec& spec, std::string_view value, bool hasValue) {
    if (takesValue(spec.does) && !hasValue) {
        if (i_ + 1 >= argc_) {
            error_ = "option --" + std::string(spec.longName) + " needs a value";
            return false;
        }
        value = argv_[++i_];
    } else if (!takesValue(spec.does) && hasValue) {
        error_ = "option --" + std::string(spec.longName) + " takes no value";
        return false;
    }
    switch (spec.does) {
        case Does::SetKey:
            return o_.keyOptions.emplace_back(spec.key), true;
        case Does::Act:
            return o_.action = spec.action, true;
        case Does::NoConfig:
            return o_.noConfig = true;
        case Does::Raw:
            return o_.raw = true;
        case Does::Quiet:
            return o_.quiet = true;
        default:
            return valueOption(spec, value);
    }
}

bool Parser::valueOption(const OptionSpec& spec, std::string_view value) {
    switch (spec.does) {
        case Does::SetText:
            // Escaped, the value reads back exactly as typed.
            o_.keyOptions.push_back(std::string(spec.key) + "=" +
                                    std::string(escapeIniText(value).view()));
            return true;
        case Does::SetMinRate:
            return minRate(value);
        case Does::SetThreads: {
            const std::optional<int32_t> n = wholeNumber(value);
            if (!n || *n > kMostSearchThreads) {
                error_ =
                    "--threads must be a number from 0 to " + std::to_string(kMostSearchThreads);
                return false;
            }
            return o_.keyOptions.push_back("searchThreads=" + std::to_string(*n)), true;
        }
        case Does::ConfigFile:
            return o_.configPath = std::string(value), true;
        case Does::Set:
            if (value.find('=') == std::string_view::npos || value.starts_with('=')) {
                error_ = "--set needs KEY=VALUE";
                return false;
            }
            return o_.sets.emplace_back(value), true;
        case Does::SetType: {
            const char* n = value == "normal"  ? "1"
                            : value == "regex" ? "2"
                            : value == "fuzzy" ? "3"
                                               : nullptr;
            if (!n) error_ = "--type must be normal, regex or fuzzy";
            return n && (o_.keyOptions.push_back(std::string("schType=") + n), true);
        }
        case Does::Color:
            if (value == "auto") return o_.color = ColorMode::Auto, true;
            if (value == "always") return o_.color = ColorMode::Always, true;
            if (value == "never") return o_.color = ColorMode::Never, true;
            error_ = "--color must be auto, always or never";
            return false;
        default:
            return false;
    }
}

// The options dialog refuses rates below its lowest with its own message;
// its spin control offers nothing above 100.
bool Parser::minRate(std::string_view value) {
    std::optional<int32_t> rate = wholeNumber(value);
    if (!rate || *rate > 100) {
        error_ = "--min-rate must be a number from " + std::to_string(kLowestMinRate) + " to 100";
        return false;
    }
    RefusalText refusal;
    if (!checkMinRate(*rate, refusal)) {
        error_ = "--min-rate: " + refusal.text;
        return false;
    }
    o_.keyOptions.push_back("minRate=" + std::to_string(*rate));
    return true;
}

bool Parser::longOption(std::string_view arg) {
    std::string_view name, value;
    bool hasValue = false;
    splitLong(arg, name, value, hasValue);
    if (const OptionSpec* spec = findLong(name)) return option(*spec, value, hasValue);
    error_ = "unknown option --" + std::string(name);
    return false;
}

bool Parser::shortOptions(std::string_view letters) {
    for (size_t k = 0; k < letters.size(); ++k) {
        const OptionSpec* spec = findShort(letters[k]);
        if (!spec) {
            error_ = std::string("unknown option -") + letters[k];
            return false;
        }
        if (takesValue(spec->does)) {
            std::string_view rest = letters.substr(k + 1);
            return option(*spec, rest, !rest.empty());
        }
        if (!option(*spec, {}, false)) return false;
    }
    return true;
}

bool Parser::positionals() {
    if (o_.action == QfAction::Search) {
        if (positional_.size() < 2) {
            error_ = "a search string and at least one folder are needed";
            return false;
        }
        o_.searchString = positional_[0];
        o_.folders.assign(positional_.begin() + 1, positional_.end());
    } else if (!positional_.empty() && o_.action != QfAction::Help &&
               o_.action != QfAction::Version) {
        error_ = "unexpected argument '" + positional_[0] + "'";
        return false;
    }
    return true;
}

std::optional<QfOptions> Parser::run(std::string& error) {
    bool onlyPositional = false;
    for (; i_ < argc_; ++i_) {
        std::string_view arg = argv_[i_];
        bool ok = true;
        if (onlyPositional || arg == "-" || !arg.starts_with("-"))
            positional_.emplace_back(arg);
        else if (arg == "--")
            onlyPositional = true;
        else if (arg.starts_with("--"))
            ok = longOption(arg);
        else
            ok = shortOptions(arg.substr(1));
        if (!ok) {
            error = error_;
            return std::nullopt;
        }
    }
    if (!positionals()) {
        error = error_;
        return std::nullopt;
    }
    return o_;
}

}  // namespace

std::optional<QfOptions> parseQfOptions(int argc, char** argv, std::string& error) {
    return Parser(argc, argv).run(error);
}

std::vector<std::string_view> qfLongOptionNames() {
    std::vector<std::string_view> names;
    for (const OptionSpec& spec : kOptions) names.emplace_back(spec.longName);
    return names;
}
