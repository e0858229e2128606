#include "platform/mapped_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/file_system.h"
#include "platform/path_encoding.h"

namespace {

// Another program that cuts a mapped file short makes reads past its new end
// fault. Such a fault ends the process with a message instead of a crash; a
// fault anywhere else gets the default action.
struct MappedRange {
    std::atomic<uintptr_t> begin{0};
    std::atomic<uintptr_t> end{0};
};
MappedRange g_ranges[64];

void onBusError(int, siginfo_t* info, void*) {
    const auto at = reinterpret_cast<uintptr_t>(info->si_addr);
    for (const MappedRange& r : g_ranges) {
        if (at >= r.begin.load() && at < r.end.load()) {
            static const char kMessage[] =
                "quillfind: an index file was cut short by another program while it was "
                "read; stopped\n";
            [[maybe_unused]] const ssize_t n = ::write(2, kMessage, sizeof kMessage - 1);
            ::_exit(2);
        }
    }
    ::signal(SIGBUS, SIG_DFL);  // the faulting access runs again and gets it
}

void watchBusErrors() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, nullptr);
    });
}

// Unwatched when every slot is taken: the mapping still serves.
void watch(const char* data, int64_t size) {
    for (MappedRange& r : g_ranges) {
        uintptr_t free = 0;
        if (r.begin.compare_exchange_strong(free, reinterpret_cast<uintptr_t>(data))) {
            r.end.store(reinterpret_cast<uintptr_t>(data) + uintptr_t(size));
            return;
        }
    }
}

void unwatch(const char* data) {
    for (MappedRange& r : g_ranges) {
        if (r.begin.load() == reinterpret_cast<uintptr_t>(data)) {
            r.end.store(0);
            r.begin.store(0);
            return;
        }
    }
}

}  // namespace

std::shared_ptr<MappedFile> MappedFile::open(std::string_view sjisPath) {
    const int fd = ::open(toSystemPath(sjisPath).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st {};
    void* at = MAP_FAILED;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        at = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);  // the mapping stays without the descriptor
    if (at == MAP_FAILED) return nullptr;
    watchBusErrors();
    watch(static_cast<const char*>(at), int64_t(st.st_size));
    return std::make_shared<MappedFile>(static_cast<const char*>(at), int64_t(st.st_size),
                                        fsFileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec));
}

MappedFile::~MappedFile() {
    unwatch(data_);
    ::munmap(const_cast<char*>(data_), size_t(size_));
}
