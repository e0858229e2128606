// The parsers the options dialog's checks consult, taken from the engine so
// that the dialog accepts exactly what a search run will use. Each reports
// its defects through the message service, as it does during a search.
#pragma once
#include <functional>
#include <string_view>

#include "config/option_checks.h"

// Hooks with the engine's parsers and the given index deletion.
OptionHooks makeOptionHooks(std::function<void(std::string_view folder)> deleteAllIndexes);
