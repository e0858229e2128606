// The options dialog's hooks: replacement pairs, display font patterns and
// the search-area pattern, parsed the way the search run parses them.
#include "app/option_hooks.h"

#include <vector>

#include "pattern/parser.h"
#include "search/replacement_pairs.h"
#include "support/message_service.h"

namespace {

bool acceptsReplacements(std::string_view text) {
    ReplacementList list;
    return list.parse(text);
}

// One pattern a line, joined into one alternation as the result formatter
// does; the parser recovers from defects, so a reported one refuses.
bool acceptsFontSpec(std::string_view text) {
    std::vector<LStr> patterns;
    for (std::string_view line : listLines(text)) patterns.emplace_back(line);
    if (patterns.empty()) return true;
    const int defectsBefore = threadDefectCount();
    compileRexOr(&patterns);
    return threadDefectCount() == defectsBefore;
}

bool acceptsSearchArea(std::string_view text) {
    const int defectsBefore = threadDefectCount();
    compileRex(text);
    return threadDefectCount() == defectsBefore;
}

}  // namespace

OptionHooks makeOptionHooks(std::function<void(std::string_view folder)> deleteAllIndexes) {
    OptionHooks hooks;
    hooks.deleteAllIndexes = std::move(deleteAllIndexes);
    hooks.checkReplacements = acceptsReplacements;
    hooks.checkFontSpec = acceptsFontSpec;
    hooks.checkSearchArea = acceptsSearchArea;
    return hooks;
}
