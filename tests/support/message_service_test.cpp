// Message numbers, kind words, counters, positions and the basic sink.
#include "support/message_service.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "common/capture_sink.h"
#include "support/source_position.h"

TEST(MessageService, KindWordsAndCounters) {
    struct Case {
        int number;
        const char* kind;
        int errors;    // rise of the error count
        int warnings;  // rise of errors + warnings minus errors
    } cases[] = {
        {0, "Message", 0, 0},     {1, "Error", 0, 0},       {9999, "Error", 0, 0},
        {10000, "Error", 1, 0},   {19999, "Error", 1, 0},   {20000, "Warning", 0, 0},
        {29999, "Warning", 0, 0}, {30000, "Warning", 0, 1}, {35000, "Warning", 0, 1},
        {39998, "Warning", 0, 1}, {39999, "Note", 0, 1},    {40000, "Note", 0, 0},
    };
    CaptureSink sink;
    for (const auto& c : cases) {
        int e0 = errorCount(), all0 = errorAndWarningCount();
        EXPECT_EQ(report(c.number, "n=%d", c.number), int(std::to_string(c.number).size()) + 2);
        EXPECT_EQ(sink.messages().back().kind, c.kind) << c.number;
        EXPECT_EQ(errorCount() - e0, c.errors) << c.number;
        EXPECT_EQ(errorAndWarningCount() - all0 - c.errors, c.warnings) << c.number;
    }
}

TEST(MessageService, SystemAndErrnoTextsAreAppended) {
    CaptureSink sink;
    errno = ENOENT;
    report(kMsgSystem, "ReadFile()");
    EXPECT_EQ(sink.messages().back().text, "ReadFile(): No such file or directory");
    errno = EACCES;
    report(kMsgErrno, "remove()");
    EXPECT_EQ(sink.messages().back().text, "remove(): errno=13: Permission denied");
    errno = ENOENT;
    report(kMsgSystemWarning, "x");
    EXPECT_EQ(sink.messages().back().kind, "Warning");
    EXPECT_NE(sink.messages().back().text.find("x: "), std::string::npos);
    errno = 0;  // code 0 means the last error
    EXPECT_EQ(systemErrorText(0), "(no message)");
}

TEST(MessageService, PositionIsPassedToTheSink) {
    CaptureSink sink;
    int32_t line = 12;
    {
        PositionScope scope("/home/u/.config/VeloSoft/Quillfind.cfg", &line);
        report(kMsgSyntax, "unknown name '%s'", "foo");
        line = 13;
        report(kMsgSyntax, "again");
        setPositionOffset(5);
        EXPECT_EQ(positionValue(0), 13);
        EXPECT_EQ(positionText(), "/home/u/.config/VeloSoft/Quillfind.cfg(18)");
    }
    report(0, "after");
    ASSERT_EQ(sink.messages().size(), 3u);
    EXPECT_EQ(sink.messages()[0].position, "/home/u/.config/VeloSoft/Quillfind.cfg(12)");
    EXPECT_EQ(sink.messages()[1].position, "/home/u/.config/VeloSoft/Quillfind.cfg(13)");
    EXPECT_EQ(sink.messages()[2].position, "");
}

TEST(MessageService, NameOnlyPositionAndNesting) {
    pushPosition("outer", 3);
    pushPosition("inner", LNnPos::kNoNumber);
    EXPECT_EQ(positionText(), "inner");
    popPosition();
    EXPECT_EQ(positionText(), "outer(3)");
    setPositionNumber(7);
    EXPECT_EQ(positionText(), "outer(7)");
    EXPECT_NE(popPosition(), nullptr);
    EXPECT_EQ(popPosition(), nullptr);
    EXPECT_EQ(positionText(), "");
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

TEST(MessageService, ConversionQuietNests) {
    EXPECT_EQ(conversionQuietCount(), 0);
    {
        ConversionQuiet a;
        ConversionQuiet b;
        EXPECT_EQ(conversionQuietCount(), 2);
    }
    EXPECT_EQ(conversionQuietCount(), 0);
}

TEST(MessageServiceDeathTest, InternalErrorEndsWithCodeTwo) {
    EXPECT_EXIT(internalError(51010), testing::ExitedWithCode(2), "Internal Error: 51010");
    EXPECT_EXIT(internalError("bad %s", "state"), testing::ExitedWithCode(2),
                "Internal Error: bad state");
}
