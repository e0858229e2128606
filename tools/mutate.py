#!/usr/bin/env python3
"""Mutation check: does the test suite notice small, careless edits?

Each mutant replaces one exact fragment of one source line. The script applies
the mutants one at a time, rebuilds the build folder incrementally, runs the
tests and puts the source back, then prints for each mutant whether the tests
caught it. The source is always restored, also on Ctrl-C or an error.

    tools/mutate.py [--build DIR] [--timeout S] [--list] [NAME ...]

When a fragment no longer matches (the code moved on), the mutant is reported
as "not applied": edit the table below rather than the code.
"""

import argparse
import os
import pathlib
import subprocess
import sys
import time

# (name, file, original fragment, replacement). A fragment must occur exactly
# once in its file.
MUTANTS = [
    # Shift-JIS byte classes: each edge of the two lead-byte ranges, one of kana.
    ("lead-low-0x80", "src/base/ctype_table.cpp",
     "(b >= 0x81 && b <= 0x9F)", "(b >= 0x80 && b <= 0x9F)"),
    ("lead-high-0x9E", "src/base/ctype_table.cpp",
     "(b >= 0x81 && b <= 0x9F)", "(b >= 0x81 && b <= 0x9E)"),
    ("lead2-low-0xE1", "src/base/ctype_table.cpp",
     "(b >= 0xE0 && b <= 0xFC)", "(b >= 0xE1 && b <= 0xFC)"),
    ("lead2-high-0xFD", "src/base/ctype_table.cpp",
     "(b >= 0xE0 && b <= 0xFC)", "(b >= 0xE0 && b <= 0xFD)"),
    ("kana-high-0xE0", "src/base/ctype_table.cpp",
     "b >= 0xA1 && b <= 0xDF", "b >= 0xA1 && b <= 0xE0"),

    # Trail-byte alignment.
    ("lead-at-no-parity", "src/text/sjis.cpp",
     "return leadRunBefore(text, index) % 2 == 0;", "return leadRunBefore(text, index) == 0;"),
    ("trail-at-no-parity", "src/text/sjis.cpp",
     "return leadRunBefore(text, index) % 2 == 1;", "return leadRunBefore(text, index) > 0;"),
    ("last-char-lead-only", "src/text/sjis.cpp",
     "bool pair = len >= 2 && isTrailAt(s.view(), len - 1);",
     "bool pair = len >= 2 && isLeadByte(s[len - 2]);"),
    ("compare-trail-sticky", "src/text/sjis.cpp",
     "trail = !trail && isLeadByte", "trail = isLeadByte"),

    # Case and width folding.
    ("lower-full-z", "src/text/char_fold.cpp",
     "inRange(code, 0x8260, 0x8279)", "inRange(code, 0x8260, 0x8278)"),
    ("lower-ascii-z", "src/text/char_fold.cpp",
     "code >= 'A' && code <= 'Z' ? code | 0x20", "code >= 'A' && code < 'Z' ? code | 0x20"),
    ("upper-ascii-a", "src/text/char_fold.cpp",
     "code >= 'a' && code <= 'z' ? code - 0x20", "code > 'a' && code <= 'z' ? code - 0x20"),
    ("lower-cyrillic-skip", "src/text/char_fold.cpp",
     "return code + 0x31;  // run skips", "return code + 0x30;  // run skips"),
    ("full-to-half-zero", "src/text/char_fold.cpp",
     "return half ? half : code;", "return half;"),
    ("kanji-type-edge", "src/text/char_fold.cpp",
     "if (code >= 0x889E) return 'J';", "if (code > 0x889E) return 'J';"),
    ("lower-string-lead", "src/text/char_fold.cpp",
     "text[int32_t(i + 1)] = char(lowered & 0xFF);", "text[int32_t(i)] = char(lowered & 0xFF);"),

    # Record cutting.
    ("cut-at-trail", "src/pattern/record_reader.cpp",
     "if (isCharStart(known, q)) {", "if (true) {"),
    ("cut-after-lead", "src/pattern/record_reader.cpp",
     "*charStart = isCharStart(known, end);", "*charStart = true;"),
    ("cut-run-start", "src/pattern/record_reader.cpp",
     "const char* known = *charStart ? p : p + 1;", "const char* known = p;"),
    ("record-limit-le", "src/pattern/record_reader.cpp",
     "if (record.length() < maxLen) continue;", "if (record.length() <= maxLen) continue;"),
    ("cut-overrun-always", "src/pattern/record_reader.cpp",
     "!charStart && extra < kMaxCutOverrun", "extra < kMaxCutOverrun"),
    ("record-max-length", "src/index/record_limits.h",
     "kRecordMaxLength = 10000;", "kRecordMaxLength = 10001;"),

    # Index currency and blocks.
    ("current-no-time", "src/index/index_lookup.cpp",
     "entry.size == uint32_t(uint64_t(size)) && entry.lastWrite == writeTime",
     "entry.size == uint32_t(uint64_t(size))"),
    ("current-no-size", "src/index/index_lookup.cpp",
     "entry.size == uint32_t(uint64_t(size)) && entry.lastWrite == writeTime",
     "entry.lastWrite == writeTime"),
    ("block-soft-ge", "src/index/create_index.cpp",
     "block.length() > kBlockSoftLimit", "block.length() >= kBlockSoftLimit"),
    ("block-hard-ge", "src/index/create_index.cpp",
     "recordLength > kBlockHardLimit", "recordLength >= kBlockHardLimit"),
    ("block-empty-ends", "src/index/create_index.cpp",
     "if (block.empty()) return false;", ""),

    # Gram signatures.
    ("gram-two-bytes", "src/index/gram_signature.cpp",
     "while (length < 3)", "while (length < 2)"),
    ("gram-last-lost", "src/index/gram_signature.h",
     "if (size < 3) return;", "if (size < 4) return;"),
    ("gram-at-trail", "src/index/gram_signature.h",
     "at = w.starts.start & w.bytes.nonZero", "at = w.bytes.nonZero"),
    ("gram-fourth-after-trail", "src/index/gram_signature.h",
     "w.starts.pairStart >> 2 | next.starts.pairStart << 62",
     "w.bytes.lead >> 2 | next.bytes.lead << 62"),
    ("gram-word-carry-lost", "src/index/gram_signature.h",
     "const bool firstStarts = !(current_.starts.pairStart >> 63);",
     "const bool firstStarts = true;"),
    ("gram-word-hash-quotient", "src/index/gram_signature.h",
     "_mm_set1_epi16(21846)", "_mm_set1_epi16(21845)"),
    ("gram-word-fourth-lanes", "src/index/gram_signature.h",
     "fourth >> (8 * k) & 0xFF", "fourth >> (8 * k) & 0x7F"),
    ("masks-run-parity", "src/index/char_start_masks.h",
     "leads + (runStarts & kEven)", "leads + (runStarts & kOdd)"),
    ("masks-first-trail", "src/index/char_start_masks.h",
     "const uint64_t leads = pairLeads & ~uint64_t(!firstStarts);",
     "const uint64_t leads = pairLeads;"),
    ("masks-lead-high-0xFD", "src/index/char_start_masks.h",
     "_mm_set1_epi8(0xFC - 0xE0)", "_mm_set1_epi8(0xFD - 0xE0)"),
    ("epwing-body-by-ending", "src/epwing/book_layout.cpp",
     "if (compareIgnoreCase(namePart(path).view(), kBody) != 0) return false;", ""),
    ("index-block-line-per-record", "src/index/create_index.cpp",
     "line_ + countByte(text_.data()", "line_ + 1 + 0 * countByte(text_.data()"),
    ("masks-whole-word-past-end", "src/index/char_start_masks.h",
     "m.lead &= text;", "m.lead &= ~uint64_t(0);"),
    ("signature-flags-bit-lost", "src/index/gram_signature.cpp",
     "^ 0xFFFFu", "^ 0x7FFFu"),
    ("range-gap-unbounded", "src/search/indexed_search.cpp",
     "range.len) <= maxGap", "range.len) <= INT32_MAX"),
    # Wide rows: building, the rows file and the search's use of them.
    ("wide-one-hash", "src/index/ix_wide_rows.cpp",
     "for (int b : bits) tile[b] |= column;", "tile[bits[0]] |= column;"),
    ("rows-last-chunk-lost", "src/index/ix_rows_file.cpp",
     "rows.size() < kWriteChunk && r + 1 < kWideBits", "rows.size() < kWriteChunk"),
    ("regular-vanished-width", "src/text/regularize.cpp",
     "w += int(code > 0xFF) + int(code != 0);", "w += 1 + int(code > 0xFF);"),
    ("regular-fold-tables-swapped", "src/text/regularize.cpp",
     "(fold.ignoreCase ? 2 : 0) + (fold.ignoreWidth ? 1 : 0)",
     "(fold.ignoreCase ? 1 : 0) + (fold.ignoreWidth ? 2 : 0)"),
    ("stem-first-letter", "src/text/regularize.cpp",
     "kLastLetters[static_cast<unsigned char>(w.back())]",
     "kLastLetters[static_cast<unsigned char>(w.front())]"),
    ("line-record-limit-gt", "src/pattern/record_reader.cpp",
     "if (record.length() >= maxLen) {", "if (record.length() > maxLen) {"),
    ("line-run-unbounded", "src/pattern/record_reader.cpp",
     "const int32_t n = std::min(visible, peekLen);", "const int32_t n = visible;"),
    ("line-run-lf-only", "src/pattern/record_reader.cpp",
     "return b == '\\n' || b == '\\r';", "return b == '\\n';"),
    ("wide-transpose-first-tile", "src/index/ix_wide_rows.cpp",
     "tiles_[size_t(t) * kWideBits + r]", "tiles_[size_t(r)]"),
    ("rows-stale-accepted", "src/index/ix_rows_file.cpp",
     "in.u(8) == uint64_t(size) && in.u(8) == writeTime", "(in.u(8), in.u(8), true)"),
    ("rows-blocks-unbounded", "src/index/ix_rows_file.cpp",
     "if (!cache.loadedFile->contains(int64_t(blocksAt), bytes + 1)) return nullptr;", ""),
    ("rows-words-unbounded", "src/index/ix_rows_file.cpp",
     "uint64_t(h.rowWords) - wordAt < uint64_t(words)", "false"),
    ("lookup-without-rows-current", "src/index/index_lookup.cpp",
     "entry->complete() && ixEntryCurrent(*entry, sourceFile", "ixEntryCurrent(*entry, sourceFile"),
    ("wide-mask-ignored", "src/search/indexed_search.cpp",
     "entry.wide.candidates(s->regulSig->wide, mask);",
     "mask.assign(size_t(IxWideRows::wordsPerRow(entry.wide.blocks())), ~uint64_t(0));"),
    ("wide-alternatives-and", "src/search/indexed_search.cpp",
     "any[i] |= one[i]", "any[i] &= one[i]"),
    ("rows-file-outlives-index", "src/index/wk_del.cpp",
     "if (!deleteAll && pathKind(indexFile) == kPathFile)", "if (!deleteAll)"),
    ("signature-tolerance-ge", "src/index/gram_signature.cpp",
     "if (++missing > tolerance)", "if (++missing >= tolerance)"),
    ("stem-no-split", "src/search/stable_grams.cpp",
     "const size_t lastSplit = after ? ending.size() - 1 : 0;", "const size_t lastSplit = 0;"),
    ("stem-open-edge", "src/search/stable_grams.cpp",
     "if (!before && !after) {", "if (!before || !after) {"),
    ("stem-cut-joins", "src/search/stable_grams.cpp",
     "if (cutLength > 0) cut();", ""),

    # Fuzzy rates and acceptance.
    ("rate-sum-diff", "src/search/fuzzy_rate.cpp",
     "pending_ = std::max(pending_, int64_t(characters));", "pending_ += characters;"),
    ("rate-rounds-up", "src/search/fuzzy_rate.cpp",
     "return int32_t(same_ * 100 / total);", "return int32_t((same_ * 100 + total - 1) / total);"),
    ("rate-drops-pending", "src/search/fuzzy_rate.cpp",
     "const int64_t total = same_ + diff_ + pending_;", "const int64_t total = same_ + diff_;"),
    ("min-rate-exact", "src/search/fuzzy_match.cpp",
     "int32_t best = options_.minRate - 1;", "int32_t best = options_.minRate;"),
    ("rate-equal-keeps-first", "src/search/fuzzy_match.cpp",
     "if (rate < best || rate == 0) break;", "if (rate <= best || rate == 0) break;"),
    # Rejecting texts by the characters they share with the string.
    ("shared-need-rounds-up-one", "src/search/fuzzy_match.cpp",
     "+ 99) / 100", "+ 100) / 100"),
    ("shared-need-at-min-rate", "src/search/fuzzy_match.cpp",
     "int64_t(minRate - 1)", "int64_t(minRate)"),
    ("shared-no-capitals", "src/search/fuzzy_shared_chars.cpp",
     "if (ignoreCase && toLowerFull(upper) == code)", "if (false)"),
    ("shared-spells-double-byte-only", "src/search/fuzzy_shared_chars.cpp",
     "if (slot == 0) codes_.push_back(code);", "if (slot == 0 && code > 0xFF) codes_.push_back(code);"),
    ("shared-spells-first-only", "src/search/fuzzy_shared_chars.cpp",
     "if (slot == 0) codes_.push_back(code);", "if (codes_.empty()) codes_.push_back(code);"),
    ("utf8-lookup-no-surrogate", "src/text/utf8_validate.cpp",
     "kLarge | kSurrogate,", "kLarge,"),
    ("utf8-lookup-no-fourth", "src/text/utf8_validate.cpp",
     "_mm256_or_si256(third, fourth)", "third"),
    ("window-missing-off-by-one", "src/search/fuzzy_window.h",
     "counts_[bit]++ == 0", "counts_[bit]++ == 1"),

    # Deletion of old index data.
    ("del-text-equal-time", "src/index/wk_del.cpp",
     "fileWriteTime(file)) <= 0;", "fileWriteTime(file)) < 0;"),
    ("del-entry-equal-time", "src/index/wk_del.cpp",
     "compareFileTimes(fileWriteTime(source), indexTime) <= 0)",
     "compareFileTimes(fileWriteTime(source), indexTime) < 0)"),

    # Output conversion.
    ("sink-colour-always", "src/cli/qf_sink.cpp",
     "color_ && font > 0 && font < kFontCount", "font > 0 && font < kFontCount"),
    ("sink-utf8-input", "src/cli/utf8_text.cpp",
     "mbToWide(sjis, wide, kCodePageAnsi);", "mbToWide(sjis, wide, kCodePageUtf8);"),
    ("chunk-splits-char", "src/text/encoding.cpp",
     "? end + 1 : end;", "? end : end;"),
    ("encode-best-fit", "src/text/encoding.cpp",
     "&& inexactUnits(charset_).anyIn(chunk)", "&& false"),
    ("utf8-lead-f0", "src/text/encoding.cpp",
     "b >= 0xF0 ? 4 :", "b > 0xF0 ? 4 :"),
    ("stray-lead-swallows", "src/text/encoding.cpp",
     "length == 2 && !isTrailByte(byteAt(text_, pos_ + 1))", "length == 2 && false"),
    # Faults mended in the run and in qf.
    ("line-end-cr", "src/search/result_formatter.cpp",
     "(tail.back() == '\\n' || tail.back() == '\\r')", "(tail.back() == '\\n')"),
    ("path-dotdot-kept", "src/support/path_utils.cpp",
     'else if (!kept.empty() && kept.back() != "..")', "else if (false)"),
    ("fallback-note-empty", "src/search/search_run.cpp",
     "if (strings > 0 && worker->fuzzyFallbacks() == strings)",
     "if (worker->fuzzyFallbacks() >= strings)"),
    ("defect-searched", "src/search/search_run.cpp",
     "if (request.refuseDefect && compiled.defective) {", "if (false) {"),
    ("write-error-ignored", "src/cli/qf_output.cpp",
     "if (outcome == WriteOutcome::Written) return;", "return;"),
    ("lstr-empty-keeps-text", "src/base/basic_string_buffer.h",
     "setLength(0);  // an empty v appends nothing", "len_ = 0;  // an empty v appends nothing"),
    # Several search threads: walk-order release, the end of a stopped run.
    ("release-any-order", "src/search/ordered_release.h",
     "for (auto it = ready_.find(released_);", "for (auto it = ready_.begin();"),
    ("release-past-stop", "src/search/worker.cpp",
     "releaseEnded_ = outcome.failed || outcome.cut || !outcome.searched;",
     "releaseEnded_ = outcome.failed;"),
    # Passing over lines: needles folded as the pattern folds, line scans.
    ("needles-ignore-node-flags", "src/search/literal_needles.cpp",
     "flags |= node->flags();", "flags |= 0;"),
    ("needles-width-kana-split", "src/search/literal_needles.cpp",
     "if (fold.ignoreWidth && !foldsOneToOne(code)) return {};",
     "if (false && !foldsOneToOne(code)) return {};"),
    ("checked-scan-from-needle", "src/support/candidate_scan.cpp",
     "check_.find(lineStart, lineEnd)", "check_.find(place, lineEnd)"),
    ("checked-scan-skips-char", "src/support/candidate_scan.cpp",
     "p = lineEnd + 1;", "p = lineEnd + 2;"),
    ("skip-to-trail-line-end", "src/search/record_source.cpp",
     "while (skipTo > p && !isCharStart(p, skipTo - 1))", "while (false)"),
    ("line-scan-spans-lines", "src/search/record_test.cpp",
     "if (positionFilter_ && !positionFilter_->spansLines())", "if (positionFilter_)"),
    ("row-filter-place-late", "src/pattern/char_positions.h",
     "if (state & accept) return p;", "if (state & accept) return p + length;"),
    ("row-filter-no-loops", "src/pattern/char_sequence_filter.cpp",
     "| (state & loops_); };", "; };"),
    ("position-optional-copy-required", "src/pattern/position_filter.cpp",
     "if (n >= rep.min()) copy->empty = true;", "if (n > rep.min()) copy->empty = true;"),
    ("position-plus-no-loop", "src/pattern/position_filter.cpp",
     "if (unbounded && n == copies - 1)", "if (false)"),
    ("position-then-drops-empty-tail", "src/pattern/position_filter.cpp",
     "b.last | (b.empty ? a.last : 0)", "b.last"),
    ("position-follow-first-byte", "src/pattern/position_filter.cpp",
     "k < follow_.size() && state;", "k < 1 && state;"),
    ("codes-to-ask-no-case", "src/pattern/char_positions.cpp",
     "for (int key : {fullToHalf(code), fullToHalf(toLowerFull(code))})",
     "for (int key : {fullToHalf(code)})"),
    ("literal-kana-with-width", "src/pattern/char_positions.cpp",
     "(literal.flags() & RexIgnoreWidth)) return false;", "false) return false;"),
    ("line-feeds-uncounted", "src/support/candidate_scan.cpp",
     "counts = _mm256_sub_epi8(counts, _mm256_cmpeq_epi8(bytes, lf));",
     "counts = _mm256_sub_epi8(counts, _mm256_cmpeq_epi8(bytes, zero));"),
    # Waking threads only when needed.
    ("wait-all-unwoken", "src/search/ordered_release.h",
     "if (roomAgain || (waitingAll_ && released_ == next_))", "if (roomAgain)"),
    ("idle-thread-never-looks", "src/search/file_pool.cpp",
     "jobsChanged_.wait_for(lock, kLookForJobsEvery,",
     "jobsChanged_.wait_for(lock, std::chrono::hours(1),"),
    # Files read whole into reused buffers and searched in place.
    ("reused-buffer-not-emptied", "src/convert/text_reader.cpp",
     "    buffer.truncate(0);\n", "\n"),
    ("view-rest-read-again", "src/text/buffered_stream.cpp",
     "    if (viewing_) {\n        flags_ |= kEndOfInput;", "    if (false) {\n        flags_ |= kEndOfInput;"),
    ("view-seek-past-end", "src/text/buffered_stream.cpp",
     "if (position < 0) index_ = count_;", "index_ = count_;"),
    ("view-written", "src/text/buffered_stream.cpp",
     "if (count < 1 || viewing_) return 0;", "if (count < 1) return 0;"),
    ("count-lane-overflow", "src/support/byte_scan.h",
     "(end - p) / 16, 255);", "(end - p) / 16, 256);"),
    # Index caches shared by the search threads; rated lines gathered in walk order.
    ("shared-cache-spans-folders", "src/index/ix_cache_set.cpp",
     "if (current_ && current_->ixPath() == ixPath) {", "if (current_) {"),
    ("shared-cache-live-not-reused", "src/index/ix_cache_set.cpp",
     "if ((current_ = it->second.lock())) break;", "it->second.lock(); break;"),
    ("shared-entry-not-dirty", "src/index/shared_ix_cache.cpp",
     "    cache_.dirty = true;\n", "\n"),
    ("shared-entry-stale-kept", "src/index/shared_ix_cache.cpp",
     "entry->complete() && ixEntryCurrent(*entry, sourceFile, source, conversion))", "entry->complete())"),
    ("shared-first-not-waited", "src/index/shared_ix_cache.cpp",
     "if (!first) firstPassed_.wait(", "if (false) firstPassed_.wait("),
    ("pool-rated-lines-dropped", "src/search/worker.cpp",
     "searcher_->formatter().addRated(std::move(outcome.rated));", "outcome.rated.clear();"),
    # A repeated index search: ranges read where they lie, one stat per file,
    # one read of an index file's opening.
    ("ranged-read-whole", "src/convert/text_reader.cpp",
     "if (ranged) return file;", "if (false) return file;"),
    ("walked-facts-any-path", "src/support/dir_walker.cpp",
     " || visited.path->view() != path) return {};", ") return {};"),
    ("walked-facts-twice", "src/support/dir_walker.cpp",
     "t_visited.path = nullptr;", ""),
    ("header-entries-after-cr", "src/index/ix_file.cpp",
     "int64_t(end) + 2;", "int64_t(end) + 1;"),
    ("header-short-read-only", "src/index/ix_file.cpp",
     "for (int64_t want : {int64_t(4096), int64_t(kIndexHeaderSize) + kMaxFolderLineLength + 1})",
     "for (int64_t want : {int64_t(4096)})"),
    ("disk-word-from-zero", "src/index/ix_block_list.h",
     "return file_->readAt(offset_ + first * kStoredBlockBytes, out,",
     "return file_->readAt(offset_ + int64_t(w) * 64 * kStoredBlockBytes, out,"),
    ("disk-word-last-lost", "src/index/ix_block_list.h",
     "int32_t(last - first + 1) * kStoredBlockBytes);", "int32_t(last - first) * kStoredBlockBytes);"),
    ("unread-row-admits-none", "src/index/ix_rows_file.cpp",
     "std::fill(held.get(), held.get() + rowWords_, ~uint64_t(0));",
     "std::fill(held.get(), held.get() + rowWords_, uint64_t(0));"),
    ("row-source-offset-lost", "src/index/ix_wide_rows.h",
     "return source_ ? source_->row(r) + first_ :", "return source_ ? source_->row(r) :"),
    ("cut-index-file-passed-over", "src/search/indexed_search.cpp",
     "        out.wholeFile = true;\n    } else {", "    } else {"),
    # RTF: a group's \ucN ends with it; a \uN's fallback is dropped.
    ("rtf-uc-outlives-group", "src/convert/rtf_reader.cpp",
     "            uc_ = ucSaved_.back().second;\n", ""),
    ("rtf-fallback-kept", "src/convert/rtf_reader.cpp", "        fallback_ = uc_;\n", ""),
    # The size a file had when it opened decides how the text reader takes it.
    ("opened-size-unknown", "src/platform/file_handle.cpp", "    if (facts) *facts = read;\n", ""),
    # libzip and expat are opened on first use.
    ("zip-library-never-opened", "src/convert/zip_archive.cpp",
     'return bindLibrarySymbol(so, "zip_open", z.open) &&', "return false &&"),
    ("expat-library-never-opened", "src/convert/xml_text_reader.cpp",
     'return bindLibrarySymbol(so, "XML_ParserCreateNS", x.parserCreateNS) &&',
     "return false &&"),
]


def source_root(build):
    cache = build / "CMakeCache.txt"
    for line in cache.read_text().splitlines():
        if line.startswith("CMAKE_HOME_DIRECTORY:"):
            return pathlib.Path(line.split("=", 1)[1])
    sys.exit(f"mutate: no CMAKE_HOME_DIRECTORY in {cache}")


def run(cmd, cwd, timeout=None):
    try:
        return subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def build(build_dir):
    return run(["ninja", "-C", str(build_dir), "-j2"], cwd=build_dir) == 0


def tests_pass(build_dir, timeout):
    cmd = ["ctest", "--parallel", "2", "--timeout", str(timeout), "--stop-on-failure"]
    return run(cmd, cwd=build_dir) == 0


def try_mutant(root, build_dir, mutant, timeout):
    _, rel, fragment, replacement = mutant
    path = root / rel
    if not path.exists():
        return "not applied"
    original = path.read_bytes()
    text = original.decode("utf-8")
    if text.count(fragment) != 1:
        return "not applied"
    try:
        path.write_bytes(text.replace(fragment, replacement).encode("utf-8"))
        if not build(build_dir):
            return "build failed"
        return "survived" if tests_pass(build_dir, timeout) else "caught"
    finally:
        path.write_bytes(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build", help="build folder (default: build)")
    parser.add_argument("--timeout", type=int, default=60, help="seconds per test")
    parser.add_argument("--list", action="store_true", help="list mutant names and stop")
    parser.add_argument("names", nargs="*", help="mutants to try (default: all)")
    args = parser.parse_args()

    if args.list:
        for name, rel, _, _ in MUTANTS:
            print(f"{name:26} {rel}")
        return 0
    unknown = set(args.names) - {m[0] for m in MUTANTS}
    if unknown:
        sys.exit(f"mutate: unknown mutant(s): {', '.join(sorted(unknown))}")
    chosen = [m for m in MUTANTS if not args.names or m[0] in args.names]

    build_dir = pathlib.Path(args.build).resolve()
    root = source_root(build_dir)
    if not build(build_dir) or not tests_pass(build_dir, args.timeout):
        sys.exit("mutate: the unmutated tree does not build or pass its tests")

    counts = {}
    try:
        for mutant in chosen:
            start = time.monotonic()
            outcome = try_mutant(root, build_dir, mutant, args.timeout)
            counts[outcome] = counts.get(outcome, 0) + 1
            print(f"{mutant[0]:26} {outcome:12} {time.monotonic() - start:6.0f}s", flush=True)
    except KeyboardInterrupt:
        print("mutate: interrupted; the source is restored", file=sys.stderr)
    finally:
        # Leave the build matching the restored source.
        build(build_dir)

    caught = counts.get("caught", 0)
    tried = caught + counts.get("survived", 0)
    summary = ", ".join(f"{k} {v}" for k, v in sorted(counts.items()))
    rate = f"{100 * caught / tried:.0f}%" if tried else "n/a"
    print(f"kill rate: {caught}/{tried} = {rate} ({summary})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
