// Parsing and applying replacement-pair lists.
#include "search/replacement_pairs.h"

#include "support/message_service.h"
#include "support/stop_flag.h"
#include "text/sjis.h"

std::vector<std::string_view> listLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool splitReplacementLine(std::string_view line, LStr& pattern, LStr& replacement) {
    pattern.clear();
    replacement.clear();
    for (size_t i = 0; i < line.size();) {
        int n = charLength(line, i);
        if (n == 1 && line[i] == '=') {
            if (i + 1 < line.size() && line[i + 1] == '=') {
                pattern.append('=');
                i += 2;
                continue;
            }
            replacement.assign(line.substr(i + 1));
            return true;
        }
        pattern.append(line.substr(i, n));
        i += n;
    }
    return false;
}

bool ReplacementList::parse(std::string_view text) {
    LStr pattern, replacement;
    for (std::string_view line : listLines(text)) {
        if (!splitReplacementLine(line, pattern, replacement)) {
            report(kMsgWarning, "missing '=' in '%s'", LStr(line).c_str());
            return false;
        }
        int defectsBefore = threadDefectCount();
        auto pair = std::make_unique<LRexSearcher>(pattern.view(), replacement.view(), 0u);
        if (threadDefectCount() != defectsBefore) return false;
        pair->setStopFlag(&stopFlag());  // a cancel ends a pathological match
        pairs_.push_back(std::move(pair));
    }
    return true;
}

void ReplacementList::apply(LStr& text) {
    for (auto& pair : pairs_) {
        scratch_.truncate(0);
        if (pair->replace(text.view(), scratch_) > 0) std::swap(text, scratch_);
    }
}
