// Building and writing result lines.
#include "search/result_formatter.h"

#include <algorithm>

#include "pattern/next_match.h"
#include "pattern/parser.h"
#include "search/font_markers.h"
#include "search/open_reader.h"
#include "search/search_output.h"
#include "search/search_request.h"
#include "support/message_service.h"
#include "support/stop_flag.h"
#include "text/escapes.h"

namespace {

LStr resolved(const LStr& text) {
    LStr out(text);
    unescape(out);
    return out;
}

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

// Whether the record (its three parts together) ends in LF or CR.
bool endsWithLineEnd(const RecordParts& r) {
    const std::string_view tail = !r.suffix.empty() ? r.suffix
                                  : !r.area.empty() ? r.area
                                                    : r.prefix;
    return !tail.empty() && (tail.back() == '\n' || tail.back() == '\r');
}

// Number of the font a group name selects ("F0" to "F3"), or 0.
int specialFont(const char* name) {
    if (!name || name[0] != 'F' || name[1] < '0' || name[1] > '3' || name[2]) return 0;
    return kFontSpc0 + (name[1] - '0');
}

}  // namespace

ResultFormatter::ResultFormatter(const SearchRequest& request)
    : sorted_(request.sortByRate),
      fuzzy_(request.keys.fuzzy()),
      fieldTitles_(request.fieldTitles),
      fieldTitlePrefix_(request.fieldTitlePrefix),
      fieldSeparator_(resolved(request.fieldSeparator)),
      displaySeparator_(resolved(request.displaySeparator)) {
    preReplace_.parse(request.preReplace.view());
    std::vector<LStr> fontPatterns;
    for (std::string_view line : listLines(request.fontSpec.view()))
        fontPatterns.emplace_back(line);
    if (fontPatterns.empty()) return;
    fontSpecRex_ = compileRexOr(&fontPatterns);
    if (!fontSpecRex_) return;
    fontSpecSearcher_ = std::make_unique<LRexSearcher>(fontSpecRex_.get());
    fontSpecSearcher_->setStopFlag(&stopFlag());
}

ResultFormatter::~ResultFormatter() = default;

std::vector<LStr> ResultFormatter::fieldTitles(std::string_view titles) const {
    std::vector<LStr> out;
    if (titles.empty()) return out;
    const std::string_view cut = fieldSeparator_.view();
    for (;;) {
        size_t end = cut.empty() ? std::string_view::npos : titles.find(cut);
        out.emplace_back(titles.substr(0, end));
        if (end == std::string_view::npos) break;
        titles.remove_prefix(end + cut.size());
    }
    return out;
}

void ResultFormatter::setFileReplacements(std::string_view list) {
    fileReplace_.clear();
    fileReplace_.parse(list);
}

void ResultFormatter::write(const TReader& reader, const RecordParts& record, const HitList& hits,
                            int32_t schStrNo) {
    body_.truncate(0);
    body_.append(record.prefix);
    const int32_t rate = markHits(record.area, hits, body_);
    body_.append(record.suffix);

    preReplace_.apply(body_);
    fileReplace_.apply(body_);
    if (fontSpecSearcher_) applyFontSpec(body_);
    if (fieldTitles_ && !reader.fieldTitles.empty()) insertFieldTitles(reader.fieldTitles, body_);

    const char* separator = sorted_ ? "\t" : ": ";
    LStr line;
    line.reserve(body_.length() + reader.displayName().length() + 40);
    appendMarker(line, kFontStd);
    line.append(displaySeparator_.view());
    line.append(
        formatText("%s(%d)%s", reader.displayName().c_str(), reader.recordLine(), separator));
    if (fuzzy_) line.append(formatText("%d%%%s", rate, separator));
    appendMarker(line, kFontText);
    line.append(body_.view());
    appendMarker(line, kFontEnd);
    // A record cut at the length limit, the last one of a file and one cut
    // at a separator that is no line end would run into the next line. The
    // record's own text decides: a hit or a replacement at its end must not
    // add a second line end.
    if (!endsWithLineEnd(record)) line.append("\r\n");

    if (!sorted_) {
        outputText(line);
        return;
    }
    auto item = std::make_unique<RateItem>();
    item->rate = rate;
    item->text = std::move(line);
    item->schStrNo = schStrNo;
    rateItems_.push_back(std::move(item));
}

RateItems ResultFormatter::takeRated() {
    return std::exchange(rateItems_, {});
}

void ResultFormatter::addRated(RateItems items) {
    for (auto& item : items) rateItems_.push_back(std::move(item));
}

void ResultFormatter::writeSorted() {
    if (rateItems_.empty()) return;
    sortByRate(rateItems_);
    for (const auto& item : rateItems_) outputText(item->text);
    rateItems_.clear();
}

void ResultFormatter::applyFontSpec(LStr& body) {
    scratch_.truncate(0);
    const std::string_view text = body.view();
    findMarkers(text, markerSpans_);
    size_t copied = 0;
    for (int32_t from = 0; from <= int32_t(text.size());) {
        const int32_t at = fontSpecSearcher_->search(text, {.from = from});
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
        from = nextSearchStart(text, at, fontSpecSearcher_->matchLen());
    }
    scratch_.append(text.substr(copied));
    std::swap(body, scratch_);
}

void ResultFormatter::insertFieldTitles(const std::vector<LStr>& titles, LStr& body) {
    scratch_.truncate(0);
    std::string_view rest = body.view();
    const std::string_view cut = fieldSeparator_.view();
    for (const LStr& title : titles) {
        scratch_.append(fieldTitlePrefix_.view());
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
