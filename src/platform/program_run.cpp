#include "platform/program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/environment.h"

extern char** environ;

namespace {

constexpr int kPollMs = 10;

// Spawns argv with /dev/null as its standard files, in a new process group.
pid_t spawn(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&files);
    for (int fd = 0; fd < 3; ++fd)
        posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &files, &attributes, args.data(), environ) != 0) pid = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

ProgramOutcome killGroup(pid_t pid, ProgramEnd end) {
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return {end, 0};
}

}  // namespace

ProgramOutcome runProgram(const std::vector<std::string>& argv, int timeLimitMs,
                          const std::function<bool()>& stop) {
    if (argv.empty()) return {};
    const pid_t pid = spawn(argv);
    if (pid < 0) return {};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeLimitMs);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            ::kill(-pid, SIGKILL);  // nothing it started outlives it
            if (WIFSIGNALED(status)) return {ProgramEnd::Crashed, WTERMSIG(status)};
            return {ProgramEnd::Exited, WEXITSTATUS(status)};
        }
        if (done < 0 && errno != EINTR) return {};
        if (stop && stop()) return killGroup(pid, ProgramEnd::Stopped);
        if (std::chrono::steady_clock::now() >= deadline)
            return killGroup(pid, ProgramEnd::TimedOut);
        sleepMilliseconds(kPollMs);
    }
}

std::string findProgramOnPath(std::string_view name) {
    if (name.find('/') != std::string_view::npos)
        return ::access(std::string(name).c_str(), X_OK) == 0 ? std::string(name) : std::string();
    const std::string path = environmentVariable("PATH").value_or("/usr/local/bin:/usr/bin:/bin");
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        const std::string folder = end > start ? path.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + std::string(name);
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}
