// Fuzz target for the configuration file reader: the input is read as a
// configuration file. What was read must write out as a file that reads back
// to the same settings, so the writer and reader agree on every value the
// reader can produce. Each line is also given to the --set read-back.
#include <cstdint>

#include "config/app_settings.h"
#include "config/setting_readback.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietMessages();
    std::string_view input = fuzz::asText(data, size);

    AppSettings settings;
    settings.loadText(input, "fuzz.cfg");
    const LStr written = settings.configText();
    AppSettings again;
    again.loadText(written.view(), "written.cfg");
    if (again.configText().view() != written.view()) __builtin_trap();

    for (std::string_view rest = input; !rest.empty();) valueAsRead(fuzz::takeUntil(rest, '\n'));
    return 0;
}
