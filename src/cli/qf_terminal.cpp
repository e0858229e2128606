#include "cli/qf_terminal.h"

#include <unistd.h>

#include <csignal>

#include "support/stop_flag.h"

namespace {

// The first Ctrl-C asks the search to stop; a second one ends qf at once.
void onInterrupt(int) {
    if (stopFlag().exchange(1) != 0) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}

}  // namespace

bool stdoutIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}
bool stderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

void stopSearchOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // output blocked on a full pipe goes on
    ::sigaction(SIGINT, &action, nullptr);
}
