// Option matching, the option table and the scan of the command line.
#include "config/command_line.h"

#include "base/ctype_table.h"
#include "config/app_settings.h"
#include "platform/path_encoding.h"
#include "support/message_service.h"

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (lowerAscii(text[i]) != lowerAscii(prefix[i])) return false;
    }
    return true;
}

bool isOptionLike(std::string_view argument) {
    return !argument.empty() && (argument[0] == '-' || argument[0] == '/');
}

}  // namespace

bool LOptBase::matchValue(std::string_view argument, std::string_view& value) const {
    if (!isOptionLike(argument)) return false;
    std::string_view rest = argument.substr(1);
    char separator = ':';
    // "--name=value", the form of the other Linux tools, is taken as well.
    if (argument.starts_with("--")) {
        rest.remove_prefix(1);
        separator = '=';
    }
    if (!startsWithIgnoringCase(rest, name_)) return false;
    rest.remove_prefix(name_.length());
    if (rest.empty()) {
        value = rest;
        return true;
    }
    if (rest[0] != separator) return false;
    value = rest.substr(1);
    return true;
}

bool LStrcOpt::parse(std::string_view argument) {
    std::string_view value;
    if (!matchValue(argument, value)) return false;
    if (value.empty() && default_) {
        target_ = default_;
    } else {
        target_ = value;
    }
    return true;
}

OptionTable makeOptionTable(AppSettings& settings) {
    OptionTable table;
    table.push_back(std::make_unique<LStrcOpt>("cf", settings.configPath));
    return table;
}

bool offerArgument(const OptionTable& table, std::string_view argument) {
    for (const auto& option : table) {
        if (option->parse(argument)) return true;
    }
    return false;
}

std::vector<LStr> splitCommandLine(std::string_view commandLine) {
    std::vector<LStr> arguments;
    size_t i = 0;
    const size_t n = commandLine.size();
    for (;;) {
        while (i < n && byteAt(commandLine, i) <= 0x20) ++i;
        if (i >= n) break;
        LStr argument;
        while (i < n && byteAt(commandLine, i) > 0x20) {
            if (commandLine[i] != '"') {
                argument.append(commandLine[i++]);
                continue;
            }
            // A quoted section: spaces belong to it, "" is one quote, and a
            // double-byte character is taken whole.
            for (++i; i < n; ++i) {
                if (commandLine[i] == '"') {
                    if (i + 1 < n && commandLine[i + 1] == '"') {
                        argument.append('"');
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (isLeadByte(byteAt(commandLine, i)) && i + 1 < n)
                    argument.append(commandLine[i++]);
                argument.append(commandLine[i]);
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

void scanArguments(const std::vector<LStr>& arguments, AppSettings& settings) {
    OptionTable table = makeOptionTable(settings);
    for (const LStr& argument : arguments) {
        if (offerArgument(table, argument)) continue;
        if (isOptionLike(argument)) {
            report(kMsgCommandLine, "illegal option: '%s'", argument.c_str());
        } else {
            report(kMsgCommandLine, "illegal parameter: '%s'", argument.c_str());
        }
    }
}

void scanCommandLine(std::string_view commandLine, AppSettings& settings) {
    scanArguments(splitCommandLine(commandLine), settings);
}

void scanCommandLine(int argc, const char* const* argv, AppSettings& settings) {
    std::vector<LStr> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(fromSystemPath(argv[i]));
    scanArguments(arguments, settings);
}
