// POSIX implementation of the descriptor calls and the interrupt guard.
#include "platform/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>

#include "platform/file_system.h"
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
            // A FIFO must not wait for a writer in open().
            return O_RDONLY | O_NONBLOCK | O_NOCTTY;
        case 'w':
            return O_WRONLY | O_CREAT | O_TRUNC;
        case 'a':
            return O_WRONLY | O_CREAT;
        default:
            return -1;
    }
}

// Only a regular file is read: a folder opens read-only on Linux, and a
// FIFO, socket or device could block a read or never end. Reads go back to
// blocking, except on a file that claims to be empty: such files under /proc
// and /sys (/proc/kmsg) may wait for data, while a truly empty file reads
// nothing either way.
int checkReadable(int fd, FsEntryFacts& facts) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return kNotRegularFile;
    facts = {true, st.st_size, fsFileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec)};
    if (st.st_size == 0) return 0;
    // O_NONBLOCK is the only status flag openFlags gives a read.
    return ::fcntl(fd, F_SETFL, 0) == 0 ? 0 : errno;
}

// While a guard is held, SIGINT only marks itself pending; the last release
// puts the previous handling back and then delivers a pending one to it.
// A handler still running on another thread when the guard ends delivers
// the signal itself: whichever side takes the pending mark raises it.
struct InterruptGuardState {
    std::mutex lock;
    int held = 0;
    struct sigaction saved {};
};

std::atomic<int> interruptPending{0};
std::atomic<bool> interruptDeferred{false};

void deferInterrupt(int) {
    interruptPending.store(1);
    if (!interruptDeferred.load() && interruptPending.exchange(0) != 0) ::raise(SIGINT);
}

InterruptGuardState& guardState() {
    static InterruptGuardState s;
    return s;
}

}  // namespace

FileResult openDescriptor(std::string_view sjisPath, char mode, FsEntryFacts* facts) {
    int flags = openFlags(mode);
    if (flags < 0) return failure(EINVAL);
    std::string path = toSystemPath(sjisPath);
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return failure(errno);
    FsEntryFacts read;
    int error = mode == 'r' ? checkReadable(fd, read) : 0;
    if (facts) *facts = read;
    if (error == 0 && mode == 'a' && ::lseek(fd, 0, SEEK_END) < 0) error = errno;
    if (error != 0) {
        ::close(fd);
        return failure(error);
    }
    return success(fd);
}

int readOpenError(std::string_view sjisPath) {
    FileResult r = openDescriptor(sjisPath, 'r');
    if (r.ok()) ::close(int(r.value));
    return r.error;
}

FileResult readDescriptor(int fd, void* buffer, int32_t count) {
    if (count < 1) return success(0);
    for (;;) {
        ssize_t n = ::read(fd, buffer, size_t(count));
        if (n >= 0) return success(n);
        // A kernel file left non-blocking that has nothing now: its end.
        if (errno == EAGAIN) return success(0);
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

FileResult readDescriptorAt(int fd, void* buffer, int32_t count, int64_t offset) {
    if (count < 1) return success(0);
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, size_t(count), off_t(offset));
        if (n >= 0) return success(n);
        if (errno != EINTR) return failure(errno);
    }
}

bool readDescriptorExactlyAt(int fd, void* buffer, int64_t count, int64_t offset) {
    auto* out = static_cast<char*>(buffer);
    for (int64_t done = 0; done < count;) {
        const int32_t want = int32_t(std::min<int64_t>(count - done, int64_t(1) << 30));
        const FileResult r = readDescriptorAt(fd, out + done, want, offset + done);
        if (!r.ok() || r.value <= 0) return false;
        done += r.value;
    }
    return true;
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
    interruptPending.store(0);
    interruptDeferred.store(true);
    struct sigaction defer {};
    defer.sa_handler = deferInterrupt;
    sigemptyset(&defer.sa_mask);
    defer.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &defer, &s.saved);
}

void releaseInterruptGuard() {
    auto& s = guardState();
    std::lock_guard lock(s.lock);
    if (s.held == 0 || --s.held > 0) return;
    ::sigaction(SIGINT, &s.saved, nullptr);
    interruptDeferred.store(false);
    if (interruptPending.exchange(0) != 0) ::raise(SIGINT);
}

int interruptGuardCount() {
    auto& s = guardState();
    std::lock_guard lock(s.lock);
    return s.held;
}
