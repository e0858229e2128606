// The unbuffered file streams: reported failures and the Ctrl-C guard of
// written files.
#include "text/stream.h"

#include <gtest/gtest.h>

#include <csignal>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "platform/file_handle.h"
#include "text/file_stream.h"

namespace {

sighandler_t currentInterruptHandler() {
    struct sigaction now {};
    sigaction(SIGINT, nullptr, &now);
    return now.sa_handler;
}

void onInterrupt(int) {}

}  // namespace

TEST(FileStream, FailuresAreReportedWhenAsked) {
    TempDir dir;
    std::string path = dir.path("missing.txt");
    CaptureSink sink;
    int errors = errorCount();
    LFile f;
    EXPECT_FALSE(f.open(path, 'r', false));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_FALSE(f.open(path, 'r', true));
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(errorCount(), errors + 1);
    path = dir.write("f.txt", "abc");
    LFile w(path, 'a');
    char buf[4];
    EXPECT_EQ(w.read(buf, 4), 0);
    LFile r(path, 'r');
    EXPECT_EQ(r.write("x", 1), 0);
    r.truncate();
    EXPECT_EQ(numberedTexts(sink).at(0),
              "17000 cannot open " + dir.path("missing.txt") + ": No such file or directory");
    EXPECT_EQ(sink.messages().size(), 4u) << "the failed read, write and cut";
    EXPECT_EQ(dir.read("f.txt"), "abc");
}

TEST(FileStream, GuardedWrittenFilesIgnoreInterruptUntilClosed) {
    TempDir dir;
    const sighandler_t saved = signal(SIGINT, onInterrupt);
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
    EXPECT_NE(currentInterruptHandler(), onInterrupt);
    first.close();
    EXPECT_EQ(first.guardState(), LFile::kGuardArmed);
    EXPECT_NE(currentInterruptHandler(), onInterrupt);
    second.close();
    EXPECT_EQ(currentInterruptHandler(), onInterrupt);

    // A guarded file that fails to open leaves no guard behind.
    LFile failed(dir.path("no/such/x.txt"), 'w', false, true);
    EXPECT_EQ(failed.guardState(), LFile::kGuardArmed);
    EXPECT_EQ(interruptGuardCount(), 0);
    signal(SIGINT, saved);
}
