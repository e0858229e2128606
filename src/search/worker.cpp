// The worker's run: preparation, headings, the folder walk and the summary.
#include "search/worker.h"

#include "convert/candidate_lines.h"
#include "index/index_separator.h"
#include "index/ix_cache.h"
#include "pattern/parser.h"
#include "search/display_base.h"
#include "search/font_markers.h"
#include "search/fuzzy_record_matcher.h"
#include "search/indexed_search.h"
#include "search/record_source.h"
#include "search/record_test.h"
#include "search/result_formatter.h"
#include "search/search_output.h"
#include "search/search_string.h"
#include "search/status_sink.h"
#include "support/dir_walker.h"
#include "support/message_service.h"
#include "support/needle_finder.h"
#include "support/run_context.h"

namespace {

const char kSearching[] = "\x8C\x9F\x8D\xF5\x92\x86";                          // 検索中
const char kFolderLine[] = "\x8C\x9F\x8D\xF5\x83t\x83H\x83\x8B\x83_: %s\r\n";  // 検索フォルダ: %s
const char kStringLine[] =
    "\x8C\x9F\x8D\xF5\x95\xB6\x8E\x9A\x97\xF1:\x81u%s\x81v\r\n";  // 検索文字列:「%s」
const char kStopped[] = "\x92\x86\x8E~\x82\xB5\x82\xDC\x82\xB5\x82\xBD";  // 中止しました
const char kFoundCount[] = "%s\x94\xAD\x8C\xA9\x90\x94 %d";               // %s発見数 %d
const char kHitFiles[] =
    " (\x83q\x83"
    "b\x83g \x83t\x83@\x83"
    "C\x83\x8B\x90\x94 %d/%d)\r\n";  // (ヒット ファイル数 %d/%d)

}  // namespace

TWorker::TWorker(SearchRequest request, std::shared_ptr<RunContext> context)
    : request_(std::move(request)), context_(std::move(context)) {}

// Stop the thread while the members it uses are still there.
TWorker::~TWorker() {
    stop(-1);
    endNotice_.summary = {hitCount_, filesSearched_, filesWithHits_, wasStopped_};
}

bool TWorker::stopped() const {
    return failed_ || context_->stopRequested() || LThread::stopRequested();
}

void TWorker::addSearchString(std::unique_ptr<TSchStr> str, bool fuzzyFallback) {
    strings_.push_back(std::move(str));
    if (fuzzyFallback) ++fuzzyFallbacks_;
}

void TWorker::run() {
    // Deep code reaches the run's sinks and stop flag through its thread.
    RunContextScope scope(context_);
    debugLog("worker started (TH# %Xh)\n", threadNumber());
    setStatus(2, kSearching);
    setStatus(4, "0");
    ixCache_ = makeIndexCache(request_.indexFolder.view());
    // Blocks cut at another record separator would be read wrongly.
    if (request_.keys.useIndex || request_.keys.fuzzy())
        matchIndexSeparator(
            request_.indexFolder.view(),
            indexCutKey(request_.recordSeparator.view(), request_.conversion.autoDetect).view());
    prepare();
    writeHeadings();
    walkFolders();
    formatter_->writeSorted();
    wasStopped_ = stopped();
    if (wasStopped_) outputMessageText(kStopped);
    writeSummary();
    setStatus(1, "");
    setStatus(2, "");
    ixCache_.reset();  // a changed index file is written back
    debugLog("worker end\n");
}

void TWorker::prepare() {
    source_ = std::make_unique<RecordSource>(request_.recordSeparator.view());
    formatter_ = std::make_unique<ResultFormatter>(request_);
    fldSepar_ = compileRex(request_.fieldSeparator.view());
    dupReplace_.parse(request_.dupReplace.view());
    if (!request_.areaPattern.empty()) areaRex_ = compileRex(request_.areaPattern.view());
    current_ = strings_.size() == 1 ? strings_.front().get() : nullptr;

    testers_.clear();
    for (const auto& str : strings_) {
        auto tester =
            std::make_unique<RecordTester>(request_.keys, *str, fldSepar_.get(), source_->node());
        if (request_.keys.fuzzy())
            tester->setFuzzyMatcher(makeFuzzyRecordMatcher(request_.keys, *str));
        testers_.push_back(std::move(tester));
    }
    chooseNeedles();
}

// Records are passed over by their lines only when nothing but the strings
// looks at them: no search area, and every string tells its bytes.
void TWorker::chooseNeedles() {
    needles_.clear();
    needleFinder_.reset();
    lineNeedles_.reset();
    if (areaRex_ || !source_->cutsLines()) return;
    for (const auto& tester : testers_) {
        const std::vector<LStr>& needles = tester->requiredBytes();
        const auto lineEnd = [](const LStr& n) {
            return n.view().find_first_of("\r\n") != std::string_view::npos;
        };
        if (needles.empty() || std::any_of(needles.begin(), needles.end(), lineEnd)) {
            needles_.clear();
            return;
        }
        for (const LStr& needle : needles) needles_.push_back(needle.view());
    }
    if (!needles_.empty()) needleFinder_ = std::make_unique<NeedleFinder>(needles_);
    // Field titles come from the first record, which need not hold a needle.
    if (!needles_.empty() && !formatter_->showsFieldTitles())
        lineNeedles_ = std::make_unique<LineNeedles>(needles_);
}

void TWorker::writeHeadings() {
    displayBase_ = displayBaseOf(request_);
    if (!displayBase_.empty()) {
        // The heading names the shared folder as the folders spell it,
        // without the separator the base gains.
        LStr line;
        appendMarker(line, kFontStd);
        line.append(formatText(kFolderLine, commonFolderBase(request_.folders).c_str()));
        outputText(line);
    }
    if (strings_.size() == 1) {
        LStr line;
        appendMarker(line, kFontStd);
        line.append(formatText(kStringLine, request_.searchString.c_str()));
        outputText(line);
    }
}

void TWorker::walkFolders() {
    const FileVisitor visit = [this](const LStr& path) { return searchFile(path); };
    // One walker for all folders: a file reached from two of them is searched once.
    FolderWalker walker(request_.masks, request_.subfolders);
    for (const LStr& folder : request_.folders) {
        // A cancelled run goes on to no further folder.
        if (stopped()) break;
        walker.walk(folder.view(), visit);
    }
}

void TWorker::writeSummary() {
    LStr line = formatText(kFoundCount, formatter_->displaySeparator().c_str(), hitCount_);
    line.append(formatText(kHitFiles, filesWithHits_, filesSearched_));
    outputText(line);
}
