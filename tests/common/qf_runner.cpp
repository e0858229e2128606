// Child processes of the end-to-end tests: qf (plainly, or with a standard
// output that fails or is interrupted) and other programs, each with stdin
// empty and its output captured.
#include "common/qf_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "common/process_run.h"

extern char** environ;

std::string qfBinary() {
    if (const char* bin = std::getenv("QF_BIN")) return bin;
    return std::string(QF_BINARY_DIR) + "/qf";
}

namespace {

struct SpawnSpec {
    std::vector<std::string> argv;
    std::vector<std::string> env = {};  // "NAME=value" entries over the inherited ones
    std::string workingFolder = {};
    QfStdout how = QfStdout::Pipe;
};

// Reads the pipes until they close, without letting either fill up; a
// negative descriptor is passed over.
void drain(std::initializer_list<std::pair<int, std::string*>> pipes) {
    std::vector<pollfd> fds;
    std::vector<std::string*> sinks;
    for (auto [fd, sink] : pipes) {
        if (fd < 0) continue;
        fds.push_back({fd, POLLIN, 0});
        sinks.push_back(sink);
    }
    char buf[65536];
    for (size_t open = fds.size(); open > 0 && poll(fds.data(), fds.size(), -1) >= 0;) {
        for (size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                sinks[i]->append(buf, size_t(n));
                continue;
            }
            close(fds[i].fd);
            fds[i].fd = -1;
            --open;
        }
    }
}

void redirectStdout(posix_spawn_file_actions_t& actions, QfStdout how, int pipeEnd) {
    if (how == QfStdout::FullDisk)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
    else if (how == QfStdout::Closed)
        posix_spawn_file_actions_addclose(&actions, 1);
    else
        posix_spawn_file_actions_adddup2(&actions, pipeEnd, 1);
}

// What the reader of the pipes does in each case; closes both.
void readOutput(int outFd, int errFd, pid_t pid, QfStdout how, QfResult& result) {
    if (how == QfStdout::ReaderLeaves || how == QfStdout::Interrupted) {
        char buf[65536];
        const ssize_t n = read(outFd, buf, sizeof buf);
        if (n > 0) result.out.append(buf, size_t(n));
        if (how == QfStdout::ReaderLeaves) {
            close(outFd);
            outFd = -1;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            kill(pid, SIGINT);
        }
    }
    drain({{outFd, &result.out}, {errFd, &result.err}});
}

QfResult spawn(SpawnSpec spec) {
    QfResult result;
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    redirectStdout(actions, spec.how, outPipe[1]);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
        posix_spawn_file_actions_addclose(&actions, fd);
    if (!spec.workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, spec.workingFolder.c_str());
    // env(1) sets the extra entries and then runs the program in its place.
    if (!spec.env.empty()) {
        spec.argv.insert(spec.argv.begin(), spec.env.begin(), spec.env.end());
        spec.argv.insert(spec.argv.begin(), "env");
    }
    std::vector<char*> argv;
    for (auto& a : spec.argv) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    if (rc != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        return result;
    }
    readOutput(outPipe[0], errPipe[0], pid, spec.how, result);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::vector<std::string> qfArgv(const std::vector<std::string>& args) {
    std::vector<std::string> argv{qfBinary()};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

}  // namespace

QfResult runQf(const std::vector<std::string>& args, const std::vector<std::string>& env,
               const std::string& workingFolder) {
    return spawn({qfArgv(args), env, workingFolder});
}

QfResult runQfWith(const std::vector<std::string>& args, QfStdout how) {
    return spawn({qfArgv(args), {}, {}, how});
}

QfResult runProgram(const std::vector<std::string>& argv) {
    return spawn({argv});
}
