// ResultFormatter: turns a record that holds hits into its result line, the
// heading with file and line (and the rate of a fuzzy search), the record
// with its hits marked, the display replacements, the font patterns and the
// field titles, and writes it, or keeps it when lines are sorted by rate.
// It knows nothing of how records were found.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "base/lstr.h"
#include "pattern/nodes/rex.h"
#include "pattern/searcher.h"
#include "search/hit.h"
#include "search/rate_sort.h"
#include "search/replacement_pairs.h"

struct SearchRequest;
class TReader;

// A record as the result line shows it: the search area and the text
// before and after it (both empty without a search area).
struct RecordParts {
    std::string_view prefix;
    std::string_view area;
    std::string_view suffix;
};

class ResultFormatter {
public:
    explicit ResultFormatter(const SearchRequest& request);
    ~ResultFormatter();
    ResultFormatter(const ResultFormatter&) = delete;
    ResultFormatter& operator=(const ResultFormatter&) = delete;

    // Whether result lines show field titles.
    bool showsFieldTitles() const { return fieldTitles_; }
    // The titles of a file, from its first record cut at the field separator.
    std::vector<LStr> fieldTitles(std::string_view firstRecord) const;
    // The resolved display separator that begins every result line.
    const LStr& displaySeparator() const { return displaySeparator_; }

    // The display replacement of the file being searched (a dictionary's
    // own), applied after the run's; empty text clears it.
    void setFileReplacements(std::string_view list);

    // Writes the result line of a record, or keeps it for sorting.
    void write(const TReader& reader, const RecordParts& record, const HitList& hits,
               int32_t schStrNo);
    // Writes the kept lines, best rate first.
    void writeSorted();
    // The lines kept so far, handed to another formatter; and taking such
    // lines (in walk order, so the sort sees them as one formatter would).
    RateItems takeRated();
    void addRated(RateItems items);

private:
    void applyFontSpec(LStr& body);
    void insertFieldTitles(const std::vector<LStr>& titles, LStr& body);

    const bool sorted_;
    const bool fuzzy_;
    const bool fieldTitles_;
    const LStr fieldTitlePrefix_;
    LStr fieldSeparator_;    // resolved
    LStr displaySeparator_;  // resolved
    ReplacementList preReplace_;
    ReplacementList fileReplace_;
    LRexPtr fontSpecRex_;
    std::unique_ptr<LRexSearcher> fontSpecSearcher_;
    RateItems rateItems_;

    // Buffers reused from line to line.
    LStr body_;
    LStr scratch_;
    std::vector<std::pair<size_t, size_t>> markerSpans_;
};
