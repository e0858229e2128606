// Message numbers, kind words, counters, positions and the basic sink, and
// how a run context routes a thread's messages, status texts and stop flag.
#include "support/message_service.h"

#include <gtest/gtest.h>

#include <thread>

#include "common/capture_sink.h"
#include "index/ix_status.h"
#include "support/run_context.h"
#include "support/source_position.h"
#include "support/stop_flag.h"

TEST(MessageService, KindWordsAndCounters) {
    // number, kind word, rise of the error counts, rise of the thread's defect count
    // clang-format off
    const std::tuple<int, const char*, int, int> cases[] = {
        {0, "Message", 0, 0}, {1, "Error", 0, 0}, {9999, "Error", 0, 0}, {10000, "Error", 1, 1},
        {19999, "Error", 1, 1}, {20000, "Warning", 0, 0}, {30000, "Warning", 0, 0},
        {34999, "Warning", 0, 0}, {35000, "Warning", 0, 1}, {39998, "Warning", 0, 1},
        {39999, "Note", 0, 0}, {40000, "Note", 0, 0}};
    // clang-format on
    CaptureSink sink;
    for (const auto& [number, kind, errors, defects] : cases) {
        int e0 = errorCount(), te0 = threadErrorCount(), d0 = threadDefectCount();
        EXPECT_EQ(report(number, "n=%d", number), int(std::to_string(number).size()) + 2);
        EXPECT_EQ(sink.messages().back().kind, kind) << number;
        EXPECT_EQ(errorCount() - e0, errors) << number;
        EXPECT_EQ(threadErrorCount() - te0, errors) << number;
        EXPECT_EQ(threadDefectCount() - d0, defects) << number;
    }
}

TEST(MessageService, PositionsNestAndReachTheSink) {
    CaptureSink sink;
    int32_t line = 12;
    pushPosition("outer", 3);
    {
        PositionScope scope("a.cfg", &line);
        report(kMsgSyntax, "unknown name '%s'", "foo");
        line = 13;
        report(kMsgSyntax, "again");
        pushPosition("inner", LNnPos::kNoNumber);
        report(0, "inner");
        popPosition();
    }
    report(0, "outer");
    EXPECT_NE(popPosition(), nullptr);
    EXPECT_EQ(popPosition(), nullptr);
    report(0, "after");
    std::vector<std::string> positions;
    for (const auto& m : sink.messages()) positions.push_back(m.position);
    EXPECT_EQ(positions,
              (std::vector<std::string>{"a.cfg(12)", "a.cfg(13)", "inner", "outer(3)", ""}));
}

TEST(MessageService, BasicSinkFormat) {
    auto previous = installMessageSink(nullptr);  // the basic sink is made on first use
    testing::internal::CaptureStderr();
    pushPosition("a.cfg", 12);
    report(kMsgSyntax, "unknown name '%s'", "xyz");
    popPosition();
    report(0, "plain");
    std::string out = testing::internal::GetCapturedStderr();
    installMessageSink(std::move(previous));
    EXPECT_EQ(out, "a.cfg(12): Error 15001: unknown name 'xyz'\nMessage 0: plain");
}

TEST(MessageService, ConversionQuietNestsAndSilencesOnlyItsThread) {
    EXPECT_EQ(conversionQuietCount(), 0);
    {
        ConversionQuiet a, b;
        EXPECT_EQ(conversionQuietCount(), 2);
        int elsewhere = -1;
        std::thread([&] { elsewhere = conversionQuietCount(); }).join();
        EXPECT_EQ(elsewhere, 0);
    }
    EXPECT_EQ(conversionQuietCount(), 0);
}

// A run's thread reports to the run's sinks with its own position; another
// thread meanwhile reports to the process's sink without that position.
TEST(RunContext, MessagesStatusAndPositionsStayWithTheirThread) {
    struct RunSinks : LMsg, StatusSink {
        void output(int, const char* position, const char*, std::string_view text) override {
            lines.push_back(std::string(position ? position : "") + "|" + std::string(text));
        }
        void setStatus(int part, std::string_view text) override {
            lines.push_back(std::to_string(part) + "=" + std::string(text));
        }
        std::vector<std::string> lines;
    };
    CaptureSink process;
    auto sinks = std::make_shared<RunSinks>();
    auto context = std::make_shared<RunContext>();
    context->setMessageSink(sinks);
    context->setStatusSink(sinks);
    int32_t line = 4;
    std::atomic<bool> positioned{false}, reported{false};
    std::thread run([&] {
        RunContextScope scope(context);
        PositionScope position("memo.txt", &line);
        positioned = true;
        while (!reported) std::this_thread::yield();
        report(kMsgWarning, "in the run");
        ixStatus(1, "memo.txt");
    });
    while (!positioned) std::this_thread::yield();
    report(kMsgWarning, "outside");
    ixStatus(1, "nowhere");  // no context on this thread: dropped
    reported = true;
    run.join();
    EXPECT_EQ(sinks->lines, (std::vector<std::string>{"memo.txt(4)|in the run", "1=memo.txt"}));
    ASSERT_EQ(process.messages().size(), 1u);
    EXPECT_EQ(process.messages()[0].text + "|" + process.messages()[0].position, "outside|");
}

// A front end may swap its sink while a message is being shown: the sink in
// use lives until it returns.
TEST(RunContext, SwappedSinkLivesUntilItsOutputReturns) {
    struct SwappingSink : LMsg {
        RunContext* context;
        bool* gone;
        void output(int, const char*, const char*, std::string_view) override {
            context->setMessageSink(nullptr);
            EXPECT_FALSE(*gone);
        }
        ~SwappingSink() override { *gone = true; }
    };
    auto context = std::make_shared<RunContext>();
    bool gone = false;
    auto sink = std::make_shared<SwappingSink>();
    sink->context = context.get();
    sink->gone = &gone;
    context->setMessageSink(std::move(sink));
    RunContextScope scope(context);
    CaptureSink process;
    report(0, "first");
    EXPECT_TRUE(gone);
    report(0, "second");  // the context has no sink now
    EXPECT_EQ(process.messages().size(), 1u);
}

TEST(RunContext, StopFlagIsTheInstalledContextsAndScopesNest) {
    auto outer = std::make_shared<RunContext>(), inner = std::make_shared<RunContext>();
    std::atomic<int>* outside = &stopFlag();
    {
        RunContextScope a(outer);
        {
            RunContextScope b(inner);
            inner->requestStop();
            EXPECT_TRUE(stopRequested());
        }
        EXPECT_EQ(&stopFlag(), &outer->stopFlag());
        EXPECT_FALSE(stopRequested());
    }
    EXPECT_EQ(&stopFlag(), outside);
}
