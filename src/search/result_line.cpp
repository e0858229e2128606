// Building a result line: the heading with the file and line, the record
// text with its hits marked, the display replacements, the font patterns
// and the field titles. The line is written at once or kept for sorting.
#include <algorithm>
#include <utility>
#include <vector>

#include "search/font_markers.h"
#include "search/open_reader.h"
#include "search/search_output.h"
#include "search/search_string.h"
#include "search/worker.h"
#include "support/message_service.h"
#include "text/sjis.h"

namespace {

// The record text with the hits marked; returns the best rate.
int32_t markHits(std::string_view area, const HitList& hits, LStr& body) {
    int32_t rate = 0;
    size_t p = 0;
    for (const Hit& hit : hits) {
        const size_t offset = std::min(size_t(hit.offset), area.size());
        if (offset < p) continue;  // overlapping spans are shown once
        body.append(area.substr(p, offset - p));
        appendMarker(body, kFontHit);
        if (hit.pieces.empty()) {
            body.append(area.substr(offset, size_t(hit.length)));
        } else {
            for (const FuzzyPiece& piece : hit.pieces) {
                const int font = piece.kind == FuzzyPiece::kRecordOnly   ? kFontIns
                                 : piece.kind == FuzzyPiece::kStringOnly ? kFontDel
                                                                         : 0;
                if (font) appendMarker(body, font);
                body.append(piece.text.view());
                if (font) appendMarker(body, kFontEnd);
            }
        }
        appendMarker(body, kFontEnd);
        p = std::min(offset + size_t(hit.length), area.size());
        rate = std::max(rate, hit.rate);
    }
    body.append(area.substr(p));
    return rate;
}

// The byte ranges of the font markers in text.
void findMarkers(std::string_view text, std::vector<std::pair<size_t, size_t>>& spans) {
    spans.clear();
    for (size_t at = text.find(kMarkerByte); at != std::string_view::npos;
         at = text.find(kMarkerByte, at + 1)) {
        size_t end = at + 1;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
        if (end < text.size() && text[end] == ' ') ++end;
        spans.emplace_back(at, end);
    }
}

// Whether [start, end) touches a marker: such a group would tear it apart.
bool overlapsMarker(const std::vector<std::pair<size_t, size_t>>& spans, size_t start, size_t end) {
    const size_t last = std::max(end, start + 1);  // an empty group still has a place
    for (const auto& [from, to] : spans) {
        if (from >= last) break;
        if (start < to) return true;
    }
    return false;
}

// Whether the record (prefix, area and suffix together) ends in LF or CR.
bool endsWithLineEnd(std::string_view prefix, std::string_view area, std::string_view suffix) {
    const std::string_view tail = !suffix.empty() ? suffix : !area.empty() ? area : prefix;
    return !tail.empty() && (tail.back() == '\n' || tail.back() == '\r');
}

// Number of the font a group name selects ("F0" to "F3"), or 0.
int specialFont(const char* name) {
    if (!name || name[0] != 'F' || name[1] < '0' || name[1] > '3' || name[2]) return 0;
    return kFontSpc0 + (name[1] - '0');
}

}  // namespace

void TWorker::buildResultLine(TReader& reader, const LStr& area, const LStr& prefix,
                              const LStr& suffix, const HitList& hits) {
    body_.truncate(0);
    body_.append(prefix.view());
    const int32_t rate = markHits(area.view(), hits, body_);
    body_.append(suffix.view());

    preReplace_.apply(body_);
    if (fileHasOwnSettings_) fileReplace_.apply(body_);
    if (fontSpecSearcher_) applyFontSpec(body_);
    if (request_.fieldTitles && !reader.fieldTitles.empty()) insertFieldTitles(reader, body_);

    const bool sorted = request_.sortByRate;
    const char* separator = sorted ? "\t" : ": ";
    LStr line;
    line.reserve(body_.length() + reader.displayName().length() + 40);
    appendMarker(line, kFontStd);
    line.append(dspSeparText_.view());
    line.append(
        formatText("%s(%d)%s", reader.displayName().c_str(), reader.recordLine(), separator));
    if (request_.keys.fuzzy()) line.append(formatText("%d%%%s", rate, separator));
    appendMarker(line, kFontText);
    line.append(body_.view());
    appendMarker(line, kFontEnd);
    // A record cut at the length limit, the last one of a file and one cut
    // at a separator that is no line end would run into the next line. The
    // record's own text decides: a hit or a replacement at its end must not
    // add a second line end.
    if (!endsWithLineEnd(prefix.view(), area.view(), suffix.view())) line.append("\r\n");

    if (!sorted) {
        outputText(line);
        return;
    }
    auto item = std::make_unique<RateItem>();
    item->rate = rate;
    item->text = std::move(line);
    item->schStrNo = strings_[current_]->schStrNo;
    rateItems_.push_back(std::move(item));
}

void TWorker::applyFontSpec(LStr& body) {
    scratch_.truncate(0);
    const std::string_view text = body.view();
    findMarkers(text, markerSpans_);
    size_t copied = 0;
    int32_t from = 0;
    while (from <= int32_t(text.size())) {
        const int32_t at = fontSpecSearcher_->search(text, -1, -1, 1, from);
        if (at < 0) break;
        for (const LRexHit& group : fontSpecSearcher_->hits()) {
            const int font = specialFont(group.name);
            if (!font || !group.text) continue;
            const size_t start = size_t(group.text - text.data());
            if (start < copied || overlapsMarker(markerSpans_, start, start + group.len)) continue;
            scratch_.append(text.substr(copied, start - copied));
            appendMarker(scratch_, font);
            scratch_.append(std::string_view(group.text, size_t(group.len)));
            appendMarker(scratch_, kFontEnd);
            copied = start + size_t(group.len);
        }
        const int32_t length = fontSpecSearcher_->matchLen();
        if (length > 0) {
            from = at + length;
        } else {
            // An empty match: go on one character further so the scan ends.
            if (at >= int32_t(text.size())) break;
            from = at + charLength(text, size_t(at));
        }
    }
    scratch_.append(text.substr(copied));
    std::swap(body, scratch_);
}

void TWorker::insertFieldTitles(const TReader& reader, LStr& body) {
    scratch_.truncate(0);
    std::string_view rest = body.view();
    const std::string_view cut = fldSeparText_.view();
    for (const LStr& title : reader.fieldTitles) {
        scratch_.append(request_.fieldTitlePrefix.view());
        scratch_.append(title.view());
        scratch_.append(cut);
        const size_t at = cut.empty() ? std::string_view::npos : rest.find(cut);
        if (at == std::string_view::npos) break;
        scratch_.append(rest.substr(0, at + cut.size()));
        rest.remove_prefix(at + cut.size());
    }
    scratch_.append(rest);
    std::swap(body, scratch_);
}
