// The worker run on its own: cancelling with the counts so far, a defective
// pattern searched or refused, and a second search while one is busy.
#include "search/worker.h"

#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "config/app_settings.h"
#include "e2e/search_fixture.h"
#include "search/search_request.h"
#include "search/search_run.h"
#include "search/search_string.h"
#include "support/event.h"
#include "support/message_service.h"
#include "support/stop_flag.h"

using namespace e2e;

// Collects the result text; with stopAtFirstLine it sets the stop flag as
// soon as the first result line arrives, as a user's cancel would.
class ResultSink : public LMsg {
public:
    explicit ResultSink(bool stopAtFirstLine) : stopAtFirstLine_(stopAtFirstLine) {}
    void output(int number, const char*, const char*, std::string_view text) override {
        if (number != 0) return;
        text_.append(text);
        if (stopAtFirstLine_ && text.find(marker(2)) != std::string_view::npos) stopFlag() = 1;
    }
    const std::string& text() const { return text_; }

private:
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
    ResultSink& install(bool stopAtFirstLine = false) {
        auto sink = std::make_shared<ResultSink>(stopAtFirstLine);
        context->setMessageSink(sink);
        return *sink;
    }
    // Starts a search with startSearch and waits for its end.
    void runToEnd(bool refuseDefect = false, StartOutcome expected = StartOutcome::Started) {
        LEvent ended;
        SearchRequest request = makeSearchRequest(settings);
        request.refuseDefect = refuseDefect;
        EXPECT_EQ(startSearch(request, context, [&](const SearchSummary&) { ended.set(); }),
                  expected);
        EXPECT_TRUE(expected != StartOutcome::Started || ended.wait(10000));
    }

    TempDir dir;
    AppSettings settings;
    std::shared_ptr<RunContext> context = std::make_shared<RunContext>();
};

TEST_F(WorkerRun, CancelEndsWithStoppedLineAndTheCountsSoFar) {
    ResultSink& sink = install(true);
    const SearchRequest request = makeSearchRequest(settings);
    TWorker worker(request, context);
    auto compiled = compileSearchString(request.searchString.view(), request.keys, nullptr, 0);
    worker.addSearchString(std::move(compiled.str), compiled.fuzzyFallback);
    worker.run();
    // The first record was evaluated; the run ends after it and its file.
    EXPECT_EQ(sink.text(), folderLine(dir.path()) + stringLine("abc") +
                               resultLine("f0.txt(1)", hit("abc") + "\n") +
                               messageLine(sj("中止しました")) + summary(1, 1, 1));
    EXPECT_EQ(worker.hitCount(), 1);
    EXPECT_EQ(worker.filesSearched(), 1);
}

TEST_F(WorkerRun, DefectivePatternIsRefusedOnlyWhenAsked) {
    ResultSink& sink = install();
    settings.schType = AppSettings::kRegexSearch;
    settings.schStr = "(";
    runToEnd(true, StartOutcome::PatternDefect);
    EXPECT_EQ(sink.text(), "") << "nothing was searched";
    runToEnd();  // without refusal the recovered pattern is searched
    EXPECT_NE(sink.text().find(sj("発見数")), std::string::npos);
}

TEST_F(WorkerRun, SecondSearchIsRefusedWhileBusy) {
    install();
    deletionWorkerActive() = true;
    EXPECT_EQ(startSearch(makeSearchRequest(settings), context, nullptr), StartOutcome::Busy);
    deletionWorkerActive() = false;
    EXPECT_FALSE(searchBusy());
}
