#include "platform/terminal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace {

std::atomic<std::atomic<int>*> interruptFlag{nullptr};

void onInterrupt(int) {
    std::atomic<int>* flag = interruptFlag.load();
    if (!flag || flag->exchange(1) != 0) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}

int descriptor(StdStream stream) {
    return stream == StdStream::Out ? STDOUT_FILENO : STDERR_FILENO;
}

}  // namespace

bool isTerminal(StdStream stream) {
    return ::isatty(descriptor(stream)) == 1;
}

WriteOutcome writeStandard(StdStream stream, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(descriptor(stream), bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EPIPE) return WriteOutcome::ReaderGone;
        if (n <= 0) return WriteOutcome::Failed;
        bytes.remove_prefix(size_t(n));
    }
    return WriteOutcome::Written;
}

void interruptSetsFlag(std::atomic<int>* flag) {
    interruptFlag = flag;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // output blocked on a full pipe goes on
    ::sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void reserveStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() takes the lowest free descriptor, which is this one.
        if (::open("/dev/null", O_RDONLY) != fd) return;
    }
}

void ignoreBrokenPipe() {
    std::signal(SIGPIPE, SIG_IGN);
}

void endByBrokenPipe() {
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
    std::_Exit(128 + SIGPIPE);  // only if the signal was blocked
}
