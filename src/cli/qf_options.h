// qf's command line: options that set search keys, where the settings come
// from, and how the output looks. One table holds every option, so the
// parser, the usage text's test and the man page agree on what exists.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ColorMode { Auto, Always, Never };
enum class QfAction { Search, Help, Version, DeleteOldIndex, DeleteAllIndex };

struct QfOptions {
    QfAction action = QfAction::Search;
    std::string searchString;          // UTF-8, as given
    std::vector<std::string> folders;  // UTF-8, as given
    std::optional<std::string> configPath;
    bool noConfig = false;
    bool raw = false;
    bool quiet = false;
    ColorMode color = ColorMode::Auto;
    // "KEY=VALUE" of every --set, as typed: configuration-file syntax.
    std::vector<std::string> sets;
    // Search keys in configuration-file syntax ("schType=2") set by the
    // other options, applied in order after every --set.
    std::vector<std::string> keyOptions;
};

// Parses argv; on a usage error returns nothing and fills error (UTF-8).
std::optional<QfOptions> parseQfOptions(int argc, char** argv, std::string& error);

// The long names of every option the parser takes, without "--".
std::vector<std::string_view> qfLongOptionNames();

extern const char kQfUsage[];
extern const char kQfVersion[];
