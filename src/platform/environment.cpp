#include "platform/environment.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

std::optional<std::string> environmentVariable(const char* name) {
    const char* v = std::getenv(name);
    if (!v) return std::nullopt;
    return std::string(v);
}

void writeStandardError(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(STDERR_FILENO, bytes.data(), bytes.size());
        if (n <= 0) return;
        bytes.remove_prefix(size_t(n));
    }
}

void exitProcess(int code) {
    std::_Exit(code);
}

void sleepMilliseconds(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int processorCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : int(n);
}
