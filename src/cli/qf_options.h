// qf's command line: options that set search keys, where the settings come
// from, and how the output looks.
#pragma once
#include <optional>
#include <string>
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
    // Search keys in configuration-file syntax ("schType=2"), applied in
    // order after the configuration file: first every --set, then the
    // options that name a key.
    std::vector<std::string> sets;
    std::vector<std::string> keyOptions;
};

// Parses argv; on a usage error returns nothing and fills error.
std::optional<QfOptions> parseQfOptions(int argc, char** argv, std::string& error);

extern const char kQfUsage[];
