// The worker run on its own: cancelling, the run started through
// startSearch, and the counts it reports at its end.
#include "search/worker.h"

#include <gtest/gtest.h>

#include <mutex>

#include "common/temp_dir.h"
#include "config/app_settings.h"
#include "e2e/search_fixture.h"
#include "search/search_request.h"
#include "search/search_run.h"
#include "search/search_string.h"
#include "support/event.h"
#include "support/message_service.h"
#include "support/stop_flag.h"

namespace {

// Collects the result text; with stopAtFirstLine it sets the stop flag as
// soon as the first result line arrives, as a user's cancel would.
class ResultSink : public LMsg {
public:
    explicit ResultSink(bool stopAtFirstLine) : stopAtFirstLine_(stopAtFirstLine) {}
    void output(int number, const char*, const char*, std::string_view text) override {
        std::lock_guard lock(lock_);
        if (number != 0) return;
        text_.append(text);
        if (stopAtFirstLine_ && text.find(e2e::marker(2)) != std::string_view::npos) stopFlag() = 1;
    }
    std::string text() {
        std::lock_guard lock(lock_);
        return text_;
    }

private:
    std::mutex lock_;
    std::string text_;
    bool stopAtFirstLine_;
};

class WorkerRun : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 5; ++i) dir.write("f" + std::to_string(i) + ".txt", "abc\nabc\n");
        settings.schStr = "abc";
        settings.schDir = LStr(dir.path());
        settings.schFile = "*.txt";
    }
    // A new sink for the run's messages; the run keeps the one it started with.
    ResultSink& install(bool stopAtFirstLine) {
        auto sink = std::make_shared<ResultSink>(stopAtFirstLine);
        context->setMessageSink(sink);
        return *sink;
    }
    std::unique_ptr<TWorker> makeWorker() {
        const SearchRequest request = makeSearchRequest(settings);
        auto worker = std::make_unique<TWorker>(request, context);
        SearchStringResult compiled =
            compileSearchString(request.searchString.view(), request.keys, nullptr, 0);
        worker->addSearchString(std::move(compiled.str), compiled.fuzzyFallback);
        return worker;
    }

    // Starts a search with startSearch and waits for its end.
    SearchSummary runToEnd(bool refuseDefect = false,
                           StartOutcome expected = StartOutcome::Started) {
        LEvent ended;
        SearchSummary result;
        SearchRequest request = makeSearchRequest(settings);
        request.refuseDefect = refuseDefect;
        EXPECT_EQ(startSearch(request, context,
                              [&](const SearchSummary& summary) {
                                  result = summary;
                                  ended.set();
                              }),
                  expected);
        if (expected == StartOutcome::Started) {
            EXPECT_TRUE(ended.wait(10000));
        }
        return result;
    }

    TempDir dir;
    AppSettings settings;
    std::shared_ptr<RunContext> context = std::make_shared<RunContext>();
};

TEST_F(WorkerRun, CancelEndsWithStoppedLineAndTheCountsSoFar) {
    ResultSink& sink = install(true);
    auto worker = makeWorker();
    worker->run();
    const std::string stopped = e2e::messageLine(e2e::sj("中止しました"));
    // The first record was evaluated; the run ends after it and its file.
    const std::string expected = e2e::folderLine(dir.path()) + e2e::stringLine("abc") +
                                 e2e::resultLine("f0.txt(1)", e2e::hit("abc") + "\n") + stopped +
                                 e2e::summary(1, 1, 1);
    EXPECT_EQ(sink.text(), expected);
    EXPECT_EQ(worker->hitCount(), 1);
    EXPECT_EQ(worker->filesSearched(), 1);
}

TEST_F(WorkerRun, StartSearchRunsOnItsOwnThreadAndReportsTheEnd) {
    ResultSink& sink = install(false);
    SearchSummary result = runToEnd();
    EXPECT_FALSE(searchBusy());
    EXPECT_EQ(result.hits, 10);
    EXPECT_EQ(result.filesSearched, 5);
    EXPECT_EQ(result.filesWithHits, 5);
    EXPECT_FALSE(result.stopped);
    EXPECT_NE(sink.text().find(e2e::summary(10, 5, 5)), std::string::npos);
}

TEST_F(WorkerRun, FuzzyFallbackNoteOnlyWhenEveryStringFallsBack) {
    struct Case {
        int32_t type;
        const char* str;
        bool note;
    } cases[] = {
        {AppSettings::kNormalSearch, "", false},
        {AppSettings::kFuzzySearch, "", false},
        {AppSettings::kFuzzySearch, "ab", true},
        {AppSettings::kFuzzySearch, "abcdefg", false},
    };
    settings.ixfDir = LStr(dir.path() + "/ix/");
    for (const Case& c : cases) {
        ResultSink& sink = install(false);
        settings.schType = c.type;
        settings.schStr = c.str;
        runToEnd();
        const bool note = sink.text().find(e2e::sj("ファジー検索ではなく")) != std::string::npos;
        EXPECT_EQ(note, c.note) << c.type << " [" << c.str << "]";
    }
}

TEST_F(WorkerRun, DefectivePatternIsRefusedOnlyWhenAsked) {
    ResultSink& sink = install(false);
    settings.schType = AppSettings::kRegexSearch;
    settings.schStr = "(";
    runToEnd(true, StartOutcome::PatternDefect);
    EXPECT_FALSE(searchBusy());
    EXPECT_EQ(sink.text(), "") << "nothing was searched";
    // Without refusal the recovered pattern is searched.
    runToEnd();
    EXPECT_NE(sink.text().find(e2e::sj("発見数")), std::string::npos);
}

TEST_F(WorkerRun, SearchAreaErrorEndsTheRunWithoutTheStopFlag) {
    ResultSink& sink = install(false);
    settings.schAreaInRec = "(a)(b)";
    SearchSummary result = runToEnd();
    EXPECT_FALSE(context->stopRequested());
    EXPECT_EQ(result.filesSearched, 1) << "no file after the error";
    EXPECT_EQ(sink.text().find(e2e::marker(2)), std::string::npos) << "no result line";
}

TEST_F(WorkerRun, SecondSearchIsRefusedWhileBusy) {
    install(false);
    deletionWorkerActive() = true;
    EXPECT_TRUE(searchBusy());
    EXPECT_EQ(startSearch(makeSearchRequest(settings), context, nullptr), StartOutcome::Busy);
    deletionWorkerActive() = false;
    EXPECT_FALSE(searchBusy());
}

}  // namespace
