// The stream interface's base behaviour, and the unbuffered file streams:
// opening modes, reported failures and the Ctrl-C guard of written files.
#include "text/stream.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "platform/file_handle.h"
#include "support/sink_texts.h"
#include "text/file_stream.h"

namespace {

sighandler_t currentInterruptHandler() {
    struct sigaction now {};
    sigaction(SIGINT, nullptr, &now);
    return now.sa_handler;
}

void onInterrupt(int) {}

// Installs a handler of its own for SIGINT and puts the former one back.
class InterruptHandlerScope {
public:
    InterruptHandlerScope() {
        struct sigaction mine {};
        mine.sa_handler = onInterrupt;
        sigemptyset(&mine.sa_mask);
        sigaction(SIGINT, &mine, &saved_);
    }
    ~InterruptHandlerScope() { sigaction(SIGINT, &saved_, nullptr); }

private:
    struct sigaction saved_ {};
};

}  // namespace

TEST(StreamDeathTest, UnsupportedOperationsAreInternalErrors) {
    struct Case {
        const char* expected;
        std::function<void(LStream&)> call;
    } cases[] = {
        {"Internal Error: 51000", [](LStream& s) { s.read(nullptr, 1); }},
        {"Internal Error: 51010", [](LStream& s) { s.write("x", 1); }},
        {"Internal Error: 51020", [](LStream& s) { s.seek(0); }},
        {"Internal Error: 51030", [](LStream& s) { s.tell(); }},
        {"Internal Error: 51040", [](LStream& s) { s.flush(); }},
        {"Internal Error: 51050", [](LStream& s) { s.isOpen(); }},
        {"Internal Error: 51060", [](LStream& s) { s.close(); }},
        {"Internal Error: 51070", [](LStream& s) { s.truncate(); }},
    };
    for (const auto& c : cases) {
        LStream s;
        EXPECT_EXIT(c.call(s), testing::ExitedWithCode(2), c.expected);
    }
    EXPECT_STREQ(LStream().name(), "(unknown stream)");
}

TEST(FileStreamDeathTest, UnknownModeIsAnInternalError) {
    TempDir dir;
    LFile f;
    EXPECT_EXIT(f.open(dir.path("x"), 'x', true), testing::ExitedWithCode(2),
                "Internal Error: 1130");
}

TEST(FileStream, MissingFileIsReportedInTheMessageLanguage) {
    TempDir dir;
    std::string path = dir.path("missing.txt");
    CaptureSink sink;
    int errors = errorCount();
    LFile f;
    EXPECT_FALSE(f.open(path, 'r', true));
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(numberedTexts(sink),
              Texts{"17000 cannot open " + path + ": No such file or directory"});
    EXPECT_EQ(errorCount(), errors + 1);

    setMessageLanguage('J');
    f.open(path, 'r', true);
    setMessageLanguage('E');
    EXPECT_EQ(
        sink.messages().back().text,
        path + " \x82\xf0\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1: No such file or directory");

    EXPECT_FALSE(f.open(path, 'r', false));
    EXPECT_EQ(sink.messages().size(), 2u);  // not reported when asked not to
}

TEST(FileStream, SystemFailuresNameTheCall) {
    TempDir dir;
    std::string path = dir.write("f.txt", "abc");
    CaptureSink sink;
    LFile w(path, 'a');
    char buf[4];
    EXPECT_EQ(w.read(buf, 4), 0);
    LFile r(path, 'r');
    EXPECT_EQ(r.write("x", 1), 0);
    r.truncate();
    EXPECT_EQ(texts(sink),
              (Texts{"ReadFile(): Bad file descriptor", "WriteFile(): Bad file descriptor",
                     "SetEndOfFile(): Invalid argument"}));
    EXPECT_EQ(dir.read("f.txt"), "abc");
}

TEST(FileStream, GuardedWrittenFilesIgnoreInterruptUntilClosed) {
    TempDir dir;
    InterruptHandlerScope handler;
    {
        LFile reading(dir.write("r.txt", "x"), 'r', true, true);
        EXPECT_EQ(reading.guardState(), LFile::kGuardArmed);
        EXPECT_EQ(currentInterruptHandler(), onInterrupt);  // reading needs no guard
    }
    LFile first(dir.path("1.txt"), 'w', true, true);
    LFile second(dir.path("2.txt"), 'a', true, true);
    LFile unguarded(dir.path("3.txt"), 'w', true, false);
    EXPECT_EQ(first.guardState(), LFile::kGuardActive);
    EXPECT_EQ(unguarded.guardState(), LFile::kGuardOff);
    EXPECT_EQ(currentInterruptHandler(), SIG_IGN);
    first.close();
    EXPECT_EQ(first.guardState(), LFile::kGuardArmed);
    EXPECT_EQ(currentInterruptHandler(), SIG_IGN);
    second.close();
    EXPECT_EQ(currentInterruptHandler(), onInterrupt);

    // A guarded file that fails to open leaves no guard behind.
    LFile failed(dir.path("no/such/x.txt"), 'w', false, true);
    EXPECT_EQ(failed.guardState(), LFile::kGuardArmed);
    EXPECT_EQ(interruptGuardCount(), 0);
}
