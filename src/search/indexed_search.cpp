// Block selection for index-assisted searches, and running the selected
// blocks through the worker's range search.
#include "search/indexed_search.h"

#include <algorithm>
#include <vector>

#include "index/index_lookup.h"
#include "index/ix_cache.h"
#include "index/shared_ix_cache.h"
#include "search/search_output.h"
#include "search/search_string.h"
#include "support/message_service.h"
#include "support/stop_flag.h"

namespace {

// Skipped bytes a normal or regular-expression search reads through rather
// than seek over (a fuzzy search tests every record it reads at length, so
// it reads only admitted blocks).
constexpr int32_t kMaxReadThrough = 2048;
// Regular expressions with more alternatives than this are not worth a test.
constexpr size_t kMaxLiteralSigs = 10;
constexpr int32_t kMinRegulLength = 3;

// "%s: 索引を作成できないのでスキップします"
constexpr char kCannotIndexSkip[] =
    "%s: \x8D\xF5\x88\xF8\x82\xF0\x8D\xEC\x90\xAC\x82\xC5\x82\xAB\x82\xC8\x82\xA2\x82\xCC\x82\xC5"
    "\x83X\x83L\x83"
    "b\x83v\x82\xB5\x82\xDC\x82\xB7";

// "%s: 索引を読み出せないため、ファイルの残りを検索できませんでした"
constexpr char kRestUnsearched[] =
    "%s: "
    "\x8D\xF5\x88\xF8\x82\xF0\x93\xC7\x82\xDD\x8F\x6F\x82\xB9\x82\xC8\x82\xA2\x82\xBD\x82\xDF\x81"
    "\x41\x83\x74\x83\x40\x83\x43"
    "\x83\x8B\x82\xCC\x8E\x63\x82\xE8\x82\xF0\x8C\x9F\x8D\xF5\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82"
    "\xF1\x82\xC5\x82\xB5\x82\xBD";

// Whether the current search string has a signature the index can use.
bool signatureUsable(const IndexedFileSearch& run) {
    const TSchStr* s = run.current;
    if (!s) return true;
    if (run.regex) return s->regulSig.has_value() || !s->literalSigs.empty();
    return s->regulSig.has_value() && s->schRegulStr.length() >= kMinRegulLength;
}

// Searches the admitted blocks of entry, opening the file at the first one.
// Admitted blocks that follow each other are searched as one range: they
// hold whole records, so the records read are the same, with one seek. So
// are blocks at most maxGap bytes apart: the skipped blocks between them
// hold whole records too, none with a hit, and reading through a few
// hundred bytes costs less than a seek and a read of their own. Only the
// blocks of mask are looked at, when one is given.
template <class Admit>
IndexedOutcome searchBlocks(const IndexedFileSearch& run, std::string_view path,
                            const TIxEntry& entry, int32_t maxGap,
                            const std::vector<uint64_t>* mask, Admit admit) {
    IndexedOutcome out;
    out.blocks = int32_t(std::min<int64_t>(entry.blocks.size(), INT32_MAX));
    bool opened = false, openFailed = false, searched = false;
    TIxBlock range;  // the admitted run not yet searched (len 0: none)
    auto flush = [&] {
        if (range.len == 0) return true;
        if (!opened && !(opened = run.open())) {
            openFailed = true;
            return false;
        }
        out.hits += run.searchRange(range.pos, range.len, range.line);
        searched = true;
        range.len = 0;
        return true;
    };
    auto visit = [&](const TIxBlock& block) {
        if (stopRequested()) return false;
        if (!admit(block)) return true;
        ++out.blocksSearched;
        if (range.len > 0 && int64_t(block.pos) - (int64_t(range.pos) + range.len) <= maxGap) {
            range.len = block.pos + block.len - range.pos;
            return true;
        }
        if (!flush()) return false;
        range = block;
        return true;
    };
    const bool read =
        mask ? entry.blocks.forEachSelected(*mask, visit) : entry.blocks.forEach(visit);
    if (read && !stopRequested()) flush();
    if (read || openFailed || stopRequested()) return out;
    // The index file changed under the search: before any hit line the file
    // is searched whole instead; after, the loss is said.
    debugLog("index blocks unreadable\n");
    if (!searched) {
        out = IndexedOutcome();
        out.wholeFile = true;
    } else {
        outputMessage(kRestUnsearched, LStr(path).c_str());
    }
    return out;
}

// Whether the signatures decide anything for this search (see
// indexedBlockAdmitted).
bool signaturesApply(const IndexedFileSearch& run) {
    const TSchStr* s = run.current;
    return run.stringCount <= 1 && s && !(s->schRex && s->schRex->ignore());
}

// The blocks of entry the wide rows admit, into mask; false when the rows
// cannot tell (every block is then tested by its stored signature alone).
bool wideCandidates(const IndexedFileSearch& run, const TIxEntry& entry,
                    std::vector<uint64_t>& mask) {
    if (!entry.wide.present() || !signaturesApply(run)) return false;
    const TSchStr* s = run.current;
    if (s->regulSig)
        entry.wide.candidates(s->regulSig->wide, mask);
    else
        mask.assign(size_t(IxWideRows::wordsPerRow(entry.wide.blocks())), ~uint64_t(0));
    if (!run.regex || s->literalSigs.empty() || s->literalSigs.size() > kMaxLiteralSigs)
        return true;
    std::vector<uint64_t> any(mask.size(), 0), one;
    for (const GramSignature& sig : s->literalSigs) {
        entry.wide.candidates(sig.wide, one);
        for (size_t i = 0; i < any.size(); ++i) any[i] |= one[i];
    }
    for (size_t i = 0; i < mask.size(); ++i) mask[i] &= any[i];
    return true;
}

// The file's entry in whichever cache the run has; null without one.
TIxEntry* lookUp(const IndexedFileSearch& run, std::string_view path, bool* tooLarge) {
    if (run.file) return ixLookupShared(*run.file, path, run.separator, tooLarge, run.conversion);
    if (run.cache) return ixLookup(*run.cache, path, run.separator, tooLarge, run.conversion);
    return nullptr;
}

}  // namespace

std::unique_ptr<TIxCache> makeIndexCache(std::string_view indexFolder) {
    return std::make_unique<TIxCache>(indexFolder);
}

bool indexedBlockAdmitted(const TIxBlock& block, const IndexedFileSearch& run) {
    // Two or more strings, or a pattern that skips ignorable text, make the
    // signatures unreliable: every block is searched.
    if (!signaturesApply(run)) return true;
    const TSchStr* s = run.current;
    if (s->regulSig && !signatureTest(block.sig, *s->regulSig, 0)) return false;
    if (run.regex && !s->literalSigs.empty() && s->literalSigs.size() <= kMaxLiteralSigs) {
        for (const GramSignature& sig : s->literalSigs)
            if (signatureTest(block.sig, sig, 0)) return true;
        return false;
    }
    return true;
}

bool fuzzyBlockAdmitted(const TIxBlock& block, const IndexedFileSearch& run) {
    const TSchStr* s = run.current;
    if (run.stringCount != 1 || !s || !s->regulSig) return true;
    return signatureTest(block.sig, *s->regulSig, s->tolBits);
}

IndexedOutcome runIndexedSearch(const IndexedFileSearch& run, std::string_view path) {
    IndexedOutcome out;
    if ((!run.cache && !run.file) || !signatureUsable(run)) {
        out.wholeFile = true;
        return out;
    }
    TIxEntry* entry = lookUp(run, path, nullptr);
    if (!entry) {
        out.wholeFile = true;
        return out;
    }
    // One mask per thread: most files need no allocation.
    thread_local std::vector<uint64_t> mask;
    const bool masked = wideCandidates(run, *entry, mask);
    out = searchBlocks(run, path, *entry, kMaxReadThrough, masked ? &mask : nullptr,
                       [&](const TIxBlock& block) { return indexedBlockAdmitted(block, run); });
    debugLog("%d/%d/%d hit (%.*s)\n", out.hits, out.blocksSearched, out.blocks, int(path.size()),
             path.data());
    return out;
}

IndexedOutcome runFuzzyIndexedSearch(const IndexedFileSearch& run, std::string_view path) {
    IndexedOutcome out;
    bool tooLarge = false;
    TIxEntry* entry = lookUp(run, path, &tooLarge);
    if (tooLarge) {
        // Read whole: the index cannot hold it, but the search can.
        if (run.open()) out.hits = run.searchRange(0, INT64_MAX, 1);
        return out;
    }
    if (!entry) {
        outputMessage(kCannotIndexSkip, LStr(path).c_str());
        return out;
    }
    out = searchBlocks(run, path, *entry, 0, nullptr,
                       [&](const TIxBlock& block) { return fuzzyBlockAdmitted(block, run); });
    if (out.wholeFile && run.open()) out.hits = run.searchRange(0, INT64_MAX, 1);
    debugLog("%d/%d/%d hit (%.*s)\n", out.hits, out.blocksSearched, out.blocks, int(path.size()),
             path.data());
    return out;
}
