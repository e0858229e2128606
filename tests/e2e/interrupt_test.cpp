// Ctrl-C during a search: qf stops at the next record and still writes the
// stopped line and the summary with the counts reached.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

extern char** environ;

namespace {

TEST(QfInterrupt, StopsWithSummaryOfTheCountsSoFar) {
    TempDir dir;
    std::string lines;
    for (int i = 0; i < 20000; ++i) lines += "a line with abc in it\n";
    dir.write("a.txt", lines);
    dir.write("b.txt", lines);

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    std::string binary = qfBinary();
    std::vector<std::string> args{binary, "--raw", "--no-config", "-q", "abc", dir.path()};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);

    // The first output shows that qf is searching (its Ctrl-C handler is in
    // place). Then nobody reads, so qf soon waits on the full pipe and the
    // signal arrives in the middle of the first file whatever the speed.
    std::string text;
    char buf[65536];
    ssize_t n = read(out[0], buf, sizeof buf);
    ASSERT_GT(n, 0);
    text.append(buf, size_t(n));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    kill(pid, SIGINT);
    while ((n = read(out[0], buf, sizeof buf)) > 0) text.append(buf, size_t(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);

    ASSERT_TRUE(WIFEXITED(status)) << "qf must end by itself, not by the signal";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string stopped = messageLine(sj("中止しました"));
    const size_t at = text.rfind(stopped);
    ASSERT_NE(at, std::string::npos);
    // One file searched (with hits), fewer hits than it holds.
    const std::string tail = text.substr(at + stopped.size());
    const std::string hitsWord = sj("発見数 ");
    ASSERT_EQ(tail.rfind(hitsWord, 0), 0u) << tail;
    const int hits = std::stoi(tail.substr(hitsWord.size()));
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, 20000);
    EXPECT_EQ(tail, summary(hits, 1, 1));
}

}  // namespace
