// Reading a hit's file and line back from result text, and choosing how to
// open it.
#include "search/hit_location.h"

#include <algorithm>
#include <string>

#include "config/app_settings.h"
#include "index/ix_paths.h"
#include "pattern/parser.h"
#include "pattern/searcher.h"
#include "support/path_utils.h"
#include "text/sjis.h"

namespace {

// The position text a result line begins with.
constexpr std::string_view kLinePattern = R"(^([^\(\)\n\t]+)\(([0-9]+)\))";
// A line that is nothing but a file name. It excludes "/" along with the
// other bytes that separate or quote names, so only a bare name gets through.
constexpr std::string_view kNamePattern = R"(^([^\(\)\n\t\\/:*"<>|\x0D\x0A]+))";

// The captures of pattern matched at the start of text; empty when it
// does not match there.
LRexHitList matchAtStart(std::string_view pattern, std::string_view text) {
    LRexPtr node = compileRex(pattern);
    LRexHitList hits;
    if (!node || anchoredMatch(text, node.get(), 0, &hits) <= 0) return {};
    return hits;
}

std::string_view captured(const LRexHitList& hits, size_t group) {
    if (group >= hits.size() || !hits[group].text) return {};
    return std::string_view(hits[group].text, size_t(hits[group].len));
}

// Decimal digits; a number past the int range stays at its largest value.
int32_t decimalLine(std::string_view digits) {
    int64_t value = 0;
    for (char c : digits) value = std::min<int64_t>(value * 10 + (c - '0'), INT32_MAX);
    return int32_t(value);
}

// A converted dictionary body stands under the index folder at the mirror
// of its source path plus ".txt"; it is what the search read and what the
// line counts. Result lines name the body (HONMON) itself.
LStr convertedTextOr(LStr path, const AppSettings& settings) {
    LStr mirrored = absolutePath(path.view());
    if (compareIgnoreCase(namePart(path.view()).view(), "HONMON") == 0)
        mirrored.append(".txt");
    else if (path.view().find("/HONMON.txt") == std::string_view::npos)
        return path;
    LStr converted = ixMirrorPath(settings.ixfDir.view(), mirrored.view());
    return pathKind(converted.view()) == 1 ? converted : path;
}

// The options of appOptFormat as arguments: split at blanks, a double-quoted
// section keeps its blanks (the quotes are dropped), and every "<@>" becomes
// the line number.
std::vector<LStr> splitEditorOptions(std::string_view format, int32_t line) {
    std::vector<LStr> arguments;
    LStr current;
    bool inQuotes = false;
    bool started = false;  // a pair of quotes alone still makes an argument
    for (char c : format) {
        if (c == '"') {
            inQuotes = !inQuotes;
            started = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (started) arguments.push_back(std::move(current));
            current.clear();
            started = false;
        } else {
            current.append(c);
            started = true;
        }
    }
    if (started) arguments.push_back(std::move(current));
    const LStr number(std::to_string(line).c_str());
    for (LStr& argument : arguments) argument.replaceAll("<@>", number.view());
    return arguments;
}

// A result line names its file as "file(line): ", and file names may hold
// parentheses themselves: the first "(digits): " ends the name. (None of
// these bytes can be the second byte of a Shift-JIS character.)
std::optional<HitPosition> resultLinePosition(std::string_view text) {
    for (size_t open = text.find('('); open != std::string_view::npos && open > 0;
         open = text.find('(', open + 1)) {
        size_t end = open + 1;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
        if (end == open + 1 || text.substr(end, 3) != "): ") continue;
        const std::string_view path = text.substr(0, open);
        if (path.find_first_of("\n\t") != std::string_view::npos) return std::nullopt;
        return HitPosition{LStr(path), decimalLine(text.substr(open + 1, end - open - 1))};
    }
    return std::nullopt;
}

}  // namespace

std::optional<HitPosition> parseHitPosition(std::string_view text) {
    if (std::optional<HitPosition> position = resultLinePosition(text)) return position;
    LRexHitList hits = matchAtStart(kLinePattern, text);
    if (!captured(hits, 0).empty() && !captured(hits, 1).empty())
        return HitPosition{LStr(captured(hits, 0)), decimalLine(captured(hits, 1))};
    hits = matchAtStart(kNamePattern, text);
    if (!captured(hits, 0).empty()) return HitPosition{LStr(captured(hits, 0)), 1};
    return std::nullopt;
}

HitOpening planHitOpening(std::string_view lineText, std::string_view displayBase,
                          const AppSettings& settings) {
    std::optional<HitPosition> position = parseHitPosition(lineText);
    if (!position) return {};
    LStr path = std::move(position->path);
    if (!displayBase.empty() && !isAbsolutePath(path.view())) path.insert(0, displayBase);
    path = convertedTextOr(std::move(path), settings);
    if (pathKind(path.view()) != 1) return {};

    HitOpening opening;
    opening.line = position->line;
    opening.path = path;
    if (settings.isNonTextExtension(extPart(path.view()).view()) || settings.appToUse.empty()) {
        opening.kind = HitOpenKind::Desktop;
        return opening;
    }
    opening.kind = HitOpenKind::Editor;
    opening.program = settings.appToUse;
    opening.arguments = splitEditorOptions(settings.appOptFormat.view(), opening.line);
    opening.arguments.push_back(std::move(path));
    return opening;
}
