// POSIX implementation of the descriptor calls and the interrupt guard.
#include "platform/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <mutex>

#include "platform/path_encoding.h"

namespace {

FileResult success(int64_t value) {
    return {value, 0};
}
FileResult failure(int error) {
    return {-1, error};
}

int openFlags(char mode) {
    switch (mode) {
        case 'r':
            return O_RDONLY;
        case 'w':
            return O_WRONLY | O_CREAT | O_TRUNC;
        case 'a':
            return O_WRONLY | O_CREAT;
        default:
            return -1;
    }
}

// A folder opens read-only on Linux but is no file to read.
int refuseFolder(int fd) {
    struct stat st;
    if (fstat(fd, &st) != 0) return errno;
    return S_ISDIR(st.st_mode) ? EISDIR : 0;
}

struct InterruptGuardState {
    std::mutex lock;
    int held = 0;
    struct sigaction saved {};
};

InterruptGuardState& guardState() {
    static InterruptGuardState s;
    return s;
}

}  // namespace

FileResult openDescriptor(std::string_view sjisPath, char mode) {
    int flags = openFlags(mode);
    if (flags < 0) return failure(EINVAL);
    std::string path = toSystemPath(sjisPath);
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return failure(errno);
    int error = mode == 'r' ? refuseFolder(fd) : 0;
    if (error == 0 && mode == 'a' && ::lseek(fd, 0, SEEK_END) < 0) error = errno;
    if (error != 0) {
        ::close(fd);
        return failure(error);
    }
    return success(fd);
}

FileResult readDescriptor(int fd, void* buffer, int32_t count) {
    if (count < 1) return success(0);
    for (;;) {
        ssize_t n = ::read(fd, buffer, size_t(count));
        if (n >= 0) return success(n);
        if (errno != EINTR) return failure(errno);
    }
}

FileResult writeDescriptor(int fd, const void* buffer, int32_t count) {
    if (count < 1) return success(0);
    for (;;) {
        ssize_t n = ::write(fd, buffer, size_t(count));
        if (n >= 0) return success(n);
        if (errno != EINTR) return failure(errno);
    }
}

FileResult seekDescriptor(int fd, int64_t position) {
    off_t r = position < 0 ? ::lseek(fd, 0, SEEK_END) : ::lseek(fd, off_t(position), SEEK_SET);
    return r < 0 ? failure(errno) : success(r);
}

FileResult descriptorPosition(int fd) {
    off_t r = ::lseek(fd, 0, SEEK_CUR);
    return r < 0 ? failure(errno) : success(r);
}

FileResult syncDescriptor(int fd) {
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0) return failure(errno);
    if ((flags & O_ACCMODE) == O_RDONLY) return success(0);
    return ::fsync(fd) == 0 ? success(0) : failure(errno);
}

FileResult truncateDescriptorHere(int fd) {
    off_t here = ::lseek(fd, 0, SEEK_CUR);
    if (here < 0) return failure(errno);
    int r;
    do {
        r = ::ftruncate(fd, here);
    } while (r != 0 && errno == EINTR);
    return r == 0 ? success(here) : failure(errno);
}

FileResult closeDescriptor(int fd) {
    // Linux releases the descriptor even when close reports EINTR; never retry.
    if (::close(fd) == 0 || errno == EINTR) return success(0);
    return failure(errno);
}

void holdInterruptGuard() {
    auto& s = guardState();
    std::lock_guard lock(s.lock);
    if (s.held++ > 0) return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGINT, &ignore, &s.saved);
}

void releaseInterruptGuard() {
    auto& s = guardState();
    std::lock_guard lock(s.lock);
    if (s.held == 0 || --s.held > 0) return;
    ::sigaction(SIGINT, &s.saved, nullptr);
}

int interruptGuardCount() {
    auto& s = guardState();
    std::lock_guard lock(s.lock);
    return s.held;
}
