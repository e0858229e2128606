// The worker run on its own: cancelling with the counts so far, and a
// second search while one is busy.
#include "search/worker.h"

#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "config/app_settings.h"
#include "e2e/search_fixture.h"
#include "search/search_request.h"
#include "search/search_run.h"
#include "search/search_string.h"
#include "support/message_service.h"
#include "support/stop_flag.h"

using namespace e2e;

// Collects the result text and sets the stop flag as soon as the first
// result line arrives, as a user's cancel would.
class CancellingSink : public LMsg {
public:
    void output(int number, const char*, const char*, std::string_view text) override {
        if (number != 0) return;
        text_.append(text);
        if (text.find(marker(2)) != std::string_view::npos) stopFlag() = 1;
    }
    std::string text_;
};

class WorkerRun : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 5; ++i) dir.write("f" + std::to_string(i) + ".txt", "abc\nabc\n");
        settings.schStr = "abc";
        settings.schDir = LStr(dir.path());
        settings.schFile = "*.txt";
    }
    TempDir dir;
    AppSettings settings;
    std::shared_ptr<RunContext> context = std::make_shared<RunContext>();
};

TEST_F(WorkerRun, CancelEndsWithStoppedLineAndTheCountsSoFar) {
    auto sink = std::make_shared<CancellingSink>();
    context->setMessageSink(sink);
    const SearchRequest request = makeSearchRequest(settings);
    TWorker worker(request, context);
    auto compiled = compileSearchString(request.searchString.view(), request.keys, nullptr, 0);
    worker.addSearchString(std::move(compiled.str), compiled.fuzzyFallback);
    worker.run();
    // The first record was evaluated; the run ends after it and its file.
    EXPECT_EQ(sink->text_, folderLine(dir.path()) + stringLine("abc") +
                               resultLine("f0.txt(1)", hit("abc") + "\n") +
                               messageLine(sj("中止しました")) + summary(1, 1, 1));
    EXPECT_EQ(worker.hitCount(), 1);
    EXPECT_EQ(worker.filesSearched(), 1);
}

TEST_F(WorkerRun, SecondSearchIsRefusedWhileBusy) {
    deletionWorkerActive() = true;
    EXPECT_EQ(startSearch(makeSearchRequest(settings), context, nullptr), StartOutcome::Busy);
    deletionWorkerActive() = false;
    EXPECT_FALSE(searchBusy());
}
