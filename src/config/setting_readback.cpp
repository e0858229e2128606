#include "config/setting_readback.h"

#include <utility>

#include "config/app_settings.h"
#include "config/ini.h"
#include "config/ini_value_text.h"
#include "text/memory_stream.h"

std::optional<LStr> valueAsRead(std::string_view line) {
    AppSettings scratch;
    LIni ini;
    scratch.registerKeys(ini);
    LMemSrm in(line);
    ini.read(in);
    const IniEntry* entry = std::as_const(ini).find(line.substr(0, line.find('=')));
    if (!entry) return std::nullopt;
    LStr written;
    IniContext context;
    context.out = &written;
    context.mode = 'w';
    entry->write(context);
    return unescapeIniText(written.view());
}
