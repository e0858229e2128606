// The unbuffered file streams: reported failures and the Ctrl-C guard of
// written files.
#include "text/stream.h"

#include <gtest/gtest.h>

#include <csignal>

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
    ASSERT_EQ(sink.messages().size(), 2u);
    EXPECT_NE(sink.messages()[1].text, sink.messages()[0].text);
    EXPECT_EQ(sink.messages()[1].text.find(path), 0u);

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
