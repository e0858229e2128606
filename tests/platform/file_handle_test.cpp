// Opening failures and descriptor flags of the file layer, and Ctrl-C held
// back while a file is written.
#include "platform/file_handle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

#include "common/child_process.h"
#include "common/temp_dir.h"

TEST(FileHandle, FailuresCarryTheirErrno) {
    TempDir dir;
    struct Case {
        std::string path;
        char mode;
        int error;
    } cases[] = {
        {dir.path("missing.txt"), 'r', ENOENT},
        {dir.path("no/such/folder.txt"), 'w', ENOENT},
        {dir.path(""), 'r', EISDIR},  // a folder is no file to read
        {dir.write("x.txt", "x"), 'x', EINVAL},
    };
    for (const auto& c : cases) {
        FileResult r = openDescriptor(c.path, c.mode);
        EXPECT_FALSE(r.ok()) << c.path;
        EXPECT_EQ(r.value, -1) << c.path;
        EXPECT_EQ(r.error, c.error) << c.path << " mode " << c.mode;
    }
}

TEST(FileHandle, NewFilesFollowTheUmaskAndAreNotInherited) {
    TempDir dir;
    mode_t old = umask(027);
    FileResult r = openDescriptor(dir.path("m.txt"), 'w');
    umask(old);
    ASSERT_TRUE(r.ok());
    struct stat st;
    ASSERT_EQ(stat(dir.path("m.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_TRUE(fcntl(int(r.value), F_GETFD) & FD_CLOEXEC);
    closeDescriptor(int(r.value));
}

TEST(FileHandle, OnlyRegularFilesOpenToReadAndNothingWaits) {
    TempDir dir;
    mkfifo(dir.path("lonely").c_str(), 0644);  // no writer: a blocking open waits forever
    const std::string empty = dir.write("empty.txt", "");
    const std::string text = dir.write("text.txt", "abc");
    const ChildOutcome child = runInChild([&] {
        alarm(10);
        std::string out;
        for (const std::string& path :
             {dir.path("lonely"), std::string("/dev/null"), empty, text}) {
            FsEntryFacts facts;
            FileResult r = openDescriptor(path, 'r', &facts);
            out += std::to_string(r.error);
            if (r.ok()) out += (fcntl(int(r.value), F_GETFL) & O_NONBLOCK) ? "n" : "b";
            if (r.ok()) out += std::to_string(facts.size);
            out += " ";
        }
        // A non-blocking read with nothing to read yet ends there.
        int pipeEnds[2];
        char c;
        if (pipe2(pipeEnds, O_NONBLOCK) == 0)
            out += std::to_string(readDescriptor(pipeEnds[0], &c, 1).error);
        return out;
    });
    EXPECT_EQ(child.exitCode, 0);
    // An empty file may be a kernel file that waits for data: it stays
    // non-blocking; a file with data blocks as usual. Both tell their size.
    const std::string notRegular = std::to_string(kNotRegularFile) + " ";
    EXPECT_EQ(child.output, notRegular + notRegular + "0n0 0b3 0");
}

std::atomic<int> interrupts{0};

TEST(FileHandle, InterruptDuringTheGuardComesWhenTheLastGuardEnds) {
    for (int guards : {1, 2}) {
        const ChildOutcome child = runInChild([guards] {
            struct sigaction count {};
            count.sa_handler = [](int) { ++interrupts; };
            sigaction(SIGINT, &count, nullptr);
            for (int i = 0; i < guards; ++i) holdInterruptGuard();
            kill(getpid(), SIGINT);
            kill(getpid(), SIGINT);
            std::string seen;
            for (int i = 0; i < guards; ++i) {
                seen += std::to_string(interrupts.load());
                releaseInterruptGuard();
            }
            kill(getpid(), SIGINT);  // the handler is back
            return seen + std::to_string(interrupts.load());
        });
        EXPECT_EQ(child.output, std::string(size_t(guards), '0') + "2") << guards << " guards";
    }
}
