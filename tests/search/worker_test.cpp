// Starting a run: a second search while one is busy, and a run without a
// search string.
#include "search/worker.h"

#include <gtest/gtest.h>

#include "common/system_charset.h"
#include "common/temp_dir.h"
#include "config/app_settings.h"
#include "search/search_request.h"
#include "search/search_run.h"
#include "support/event.h"
#include "support/message_service.h"
#include "support/run_context.h"

class TextSink : public LMsg {
public:
    void output(int number, const char*, const char*, std::string_view text) override {
        if (number == 0) text_.append(text);
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

TEST_F(WorkerRun, SecondSearchIsRefusedWhileBusyAndNoStringIsNoFuzzyFallback) {
    deletionWorkerActive() = true;
    EXPECT_EQ(startSearch(makeSearchRequest(settings), context, nullptr), StartOutcome::Busy);
    deletionWorkerActive() = false;
    auto sink = std::make_shared<TextSink>();
    context->setMessageSink(sink);
    settings.schStr = "";
    LEvent ended;
    ASSERT_EQ(startSearch(makeSearchRequest(settings), context, [&](auto&) { ended.set(); }),
              StartOutcome::Started);
    ended.wait(-1);
    EXPECT_EQ(sink->text_.find(sj("ファジー検索ではなく")), std::string::npos) << "no note";
}
