// Fuzz target for qf's command line: the input, cut at NUL bytes, is the
// argument list after the program name. A parse that succeeds is applied to
// the settings the way qf applies it: every --set and every option's key
// line is read as configuration text, and each --set is read back.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/qf_options.h"
#include "cli/utf8_text.h"
#include "config/app_settings.h"
#include "config/setting_readback.h"
#include "fuzz_support.h"

namespace {

void applyLines(const std::vector<std::string>& lines, AppSettings& settings) {
    LStr text;
    for (const std::string& line : lines) text.append(utf8ToSjis(line).view()).append("\r\n");
    settings.loadText(text.view(), "fuzz");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietMessages();
    std::string_view input = fuzz::asText(data, size);
    std::vector<std::string> args{"qf"};
    while (!input.empty() && args.size() < 64) args.emplace_back(fuzz::takeUntil(input, '\0'));
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    std::string error;
    std::optional<QfOptions> options = parseQfOptions(int(args.size()), argv.data(), error);
    if (!options) {
        if (error.empty()) __builtin_trap();  // a refusal always says why
        return 0;
    }
    AppSettings settings;
    applyLines(options->sets, settings);
    applyLines(options->keyOptions, settings);
    for (const std::string& line : options->sets) valueAsRead(utf8ToSjis(line).view());
    settings.startUpChecks(1 << 20, 1 << 20);
    return 0;
}
