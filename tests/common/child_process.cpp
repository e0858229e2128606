#include "common/child_process.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

constexpr uid_t kUnprivileged = 65534;
constexpr int kSetupFailed = 120;

bool dropPrivileges() {
    if (geteuid() != 0) return true;
    return setgroups(0, nullptr) == 0 && setgid(kUnprivileged) == 0 && setuid(kUnprivileged) == 0;
}

void writeAll(int fd, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += size_t(n);
    }
}

}  // namespace

ChildOutcome runInChild(const std::function<std::string()>& body, ChildUser user) {
    ChildOutcome outcome;
    int fds[2];
    if (pipe(fds) != 0) return outcome;
    std::fflush(nullptr);  // no buffered output is written twice
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        if (user == ChildUser::Unprivileged && !dropPrivileges()) _exit(kSetupFailed);
        writeAll(fds[1], body());
        _exit(0);
    }
    close(fds[1]);
    char buf[4096];
    for (ssize_t n; pid > 0 && (n = read(fds[0], buf, sizeof buf)) > 0;)
        outcome.output.append(buf, size_t(n));
    close(fds[0]);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return outcome;
    outcome.exitCode = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    return outcome;
}
