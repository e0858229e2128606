#include "common/process_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

extern char** environ;

namespace {

void readSome(int fd, std::string& into) {
    char buf[65536];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) into.append(buf, size_t(n));
}

void readAll(int fd, std::string& into) {
    char buf[65536];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) into.append(buf, size_t(n));
}

void redirectStdout(posix_spawn_file_actions_t& actions, QfStdout how, int pipeEnd) {
    if (how == QfStdout::FullDisk)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
    else if (how == QfStdout::Closed)
        posix_spawn_file_actions_addclose(&actions, 1);
    else
        posix_spawn_file_actions_adddup2(&actions, pipeEnd, 1);
}

// What the reader of the pipe does in each case.
void readStdout(int fd, pid_t pid, QfStdout how, std::string& out) {
    if (how == QfStdout::FullDisk || how == QfStdout::Closed) return;
    if (how == QfStdout::Pipe) return readAll(fd, out);
    readSome(fd, out);
    if (how == QfStdout::ReaderLeaves) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    kill(pid, SIGINT);
    readAll(fd, out);
}

QfResult spawn(std::vector<std::string> args, QfStdout how) {
    QfResult result;
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    redirectStdout(actions, how, outPipe[1]);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
        posix_spawn_file_actions_addclose(&actions, fd);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    if (rc == 0) readStdout(outPipe[0], pid, how, result.out);
    close(outPipe[0]);
    if (rc == 0) readAll(errPipe[0], result.err);
    close(errPipe[0]);
    if (rc != 0) return result;
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

}  // namespace

QfResult runQfWith(const std::vector<std::string>& args, QfStdout how) {
    std::vector<std::string> argv{qfBinary()};
    argv.insert(argv.end(), args.begin(), args.end());
    return spawn(std::move(argv), how);
}

QfResult runProgram(const std::vector<std::string>& argv) {
    return spawn(argv, QfStdout::Pipe);
}
