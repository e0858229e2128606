// POSIX implementation of the file-system layer: stat, open, opendir/readdir,
// mkdir/rmdir/unlink/rename, /proc/self/exe and the XDG user folders.
#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "platform/path_encoding.h"

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kEpochDelta = 11644473600;
constexpr int64_t kTicksPerSecond = 10000000;

uint64_t writeTimeOf(const struct stat& st) {
    return fsFileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}

bool statPath(std::string_view path, struct stat& st) {
    std::string sys = toSystemPath(path);
    return ::stat(sys.c_str(), &st) == 0;
}

FsEntryKind kindOf(mode_t mode) {
    if (S_ISREG(mode)) return FsEntryKind::kFile;
    if (S_ISDIR(mode)) return FsEntryKind::kFolder;
    return FsEntryKind::kOther;
}

// A path from the environment counts only when it is absolute.
LStr absoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/') return LStr();
    return fromSystemPath(value);
}

void dropTrailingSlashes(LStr& path) {
    int32_t n = path.length();
    while (n > 1 && path[n - 1] == '/') --n;
    path.truncate(n);
}

LStr homeSubfolder(const char* xdgName, const char* fallback) {
    LStr path = absoluteFromEnvironment(xdgName);
    if (path.empty()) {
        path = fsHomeFolder();
        if (path.empty()) return path;
        if (path.back() != '/') path.append('/');
        path.append(fallback);
    }
    dropTrailingSlashes(path);
    return path;
}

const char* const kKernelTrees[] = {"/proc", "/sys", "/dev"};

// Devices of the kernel trees that are mounts of their own, found once.
struct KernelDevices {
    uint64_t device[std::size(kKernelTrees)] = {};
    size_t count = 0;

    KernelDevices() {
        struct stat root, st;
        if (::stat("/", &root) != 0) return;
        for (const char* tree : kKernelTrees)
            if (::stat(tree, &st) == 0 && st.st_dev != root.st_dev)
                device[count++] = uint64_t(st.st_dev);
    }
};

}  // namespace

uint64_t fsFileTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
    int64_t since1601 = seconds + kEpochDelta;
    if (since1601 < 0) return 0;  // before 1601: not representable
    return uint64_t(since1601) * kTicksPerSecond + uint64_t(nanoseconds / 100);
}

FsPathKind fsPathKind(std::string_view path) {
    struct stat st;
    if (!statPath(path, st)) return kPathNone;
    if (S_ISREG(st.st_mode)) return kPathFile;
    if (S_ISDIR(st.st_mode)) return kPathFolder;
    return kPathOther;
}

bool fsOpenedFileInfo(std::string_view path, int64_t& size, uint64_t& writeTime) {
    std::string sys = toSystemPath(path);
    // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
    int fd = ::open(sys.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0;
    int savedError = errno;
    ::close(fd);
    if (ok && S_ISDIR(st.st_mode)) {
        savedError = EISDIR;
        ok = false;
    }
    if (!ok) {
        errno = savedError;
        return false;
    }
    size = st.st_size;
    writeTime = writeTimeOf(st);
    return true;
}

bool fsRegularFileInfo(std::string_view path, int64_t& size, uint64_t& writeTime) {
    struct stat st;
    if (!statPath(path, st)) return false;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    size = st.st_size;
    writeTime = writeTimeOf(st);
    return true;
}

bool fsWriteTime(std::string_view path, uint64_t& writeTime) {
    struct stat st;
    if (!statPath(path, st)) return false;
    writeTime = writeTimeOf(st);
    return true;
}

bool fsIdentity(std::string_view path, FsIdentity& identity) {
    struct stat st;
    if (!statPath(path, st)) return false;
    identity = {uint64_t(st.st_dev), uint64_t(st.st_ino)};
    return true;
}

bool fsOnKernelDevice(const FsIdentity& folder) {
    static const KernelDevices kernel;
    for (size_t i = 0; i < kernel.count; ++i)
        if (kernel.device[i] == folder.device) return true;
    return false;
}

bool fsResolvesIntoKernelTree(std::string_view path) {
    std::string sys = path.empty() ? std::string(".") : toSystemPath(path);
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(sys.c_str(), nullptr), std::free);
    if (!real) return false;
    std::string_view resolved(real.get());
    for (std::string_view tree : kKernelTrees)
        if (resolved.starts_with(tree) &&
            (resolved.size() == tree.size() || resolved[tree.size()] == '/'))
            return true;
    return false;
}

bool fsLocalCalendar(uint64_t fileTime, FsCalendar& out) {
    time_t t = time_t(int64_t(fileTime / kTicksPerSecond) - kEpochDelta);
    struct tm tm;
    if (!localtime_r(&t, &tm)) return false;
    out = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    return true;
}

bool fsMakeFolder(std::string_view path) {
    std::string sys = toSystemPath(path);
    return ::mkdir(sys.c_str(), 0777) == 0;
}

bool fsRemoveFolder(std::string_view path) {
    std::string sys = toSystemPath(path);
    return ::rmdir(sys.c_str()) == 0;
}

bool fsRemoveFile(std::string_view path) {
    std::string sys = toSystemPath(path);
    return ::unlink(sys.c_str()) == 0;
}

bool fsRename(std::string_view from, std::string_view to) {
    std::string sysFrom = toSystemPath(from);
    std::string sysTo = toSystemPath(to);
    return ::rename(sysFrom.c_str(), sysTo.c_str()) == 0;
}

bool fsExecutablePath(LStr& out) {
    std::vector<char> buf(256);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return false;
        if (size_t(n) < buf.size()) {
            fromSystemPath(std::string_view(buf.data(), size_t(n)), out);
            return true;
        }
        buf.resize(buf.size() * 2);  // the name may have been cut
    }
}

LStr fsUserConfigFolder() {
    return homeSubfolder("XDG_CONFIG_HOME", ".config");
}

LStr fsUserCacheFolder() {
    return homeSubfolder("XDG_CACHE_HOME", ".cache");
}

LStr fsHomeFolder() {
    LStr home = absoluteFromEnvironment("HOME");
    if (!home.empty()) {
        dropTrailingSlashes(home);
        return home;
    }
    std::vector<char> buf(16384);
    struct passwd pw;
    struct passwd* found = nullptr;
    if (getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found) != 0 || !found ||
        !found->pw_dir || found->pw_dir[0] != '/')
        return LStr();
    home = fromSystemPath(found->pw_dir);
    dropTrailingSlashes(home);
    return home;
}

struct FsDirReader::State {
    DIR* dir = nullptr;
    Detail detail = kKindOnly;
    int error = 0;
    FsIdentity identity;

    ~State() {
        if (dir) ::closedir(dir);
    }

    // Fills kind, size, time and identity from a stat of the entry, following
    // links; a link whose target is missing is an "other" entry.
    void statEntry(const char* name, FsDirEntry& entry) const {
        struct stat st;
        if (::fstatat(::dirfd(dir), name, &st, 0) != 0) {
            entry.kind = FsEntryKind::kOther;
            entry.size = 0;
            entry.writeTime = 0;
            entry.identity = {};
            return;
        }
        entry.kind = kindOf(st.st_mode);
        entry.size = st.st_size;
        entry.writeTime = writeTimeOf(st);
        entry.identity = {uint64_t(st.st_dev), uint64_t(st.st_ino)};
    }

    bool isLink(const char* name) const {
        struct stat st;
        return ::fstatat(::dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
    }
};

FsDirReader::FsDirReader(std::string_view folder, Detail detail)
    : state_(std::make_unique<State>()) {
    state_->detail = detail;
    std::string sys = folder.empty() ? std::string(".") : toSystemPath(folder);
    state_->dir = ::opendir(sys.c_str());
    if (!state_->dir) {
        state_->error = errno;
        return;
    }
    struct stat st;
    if (::fstat(::dirfd(state_->dir), &st) == 0)
        state_->identity = {uint64_t(st.st_dev), uint64_t(st.st_ino)};
}

FsDirReader::~FsDirReader() = default;

bool FsDirReader::isOpen() const {
    return state_->dir != nullptr;
}

int FsDirReader::openError() const {
    return state_->error;
}

const FsIdentity& FsDirReader::identity() const {
    return state_->identity;
}

bool FsDirReader::entryIdentity(std::string_view name, FsIdentity& identity,
                                FsEntryFacts* facts) const {
    if (!state_->dir) {
        errno = EBADF;
        return false;
    }
    std::string sys = toSystemPath(name);
    struct stat st;
    if (::fstatat(::dirfd(state_->dir), sys.c_str(), &st, 0) != 0) return false;
    identity = {uint64_t(st.st_dev), uint64_t(st.st_ino)};
    if (facts) *facts = {S_ISREG(st.st_mode), int64_t(st.st_size), writeTimeOf(st)};
    return true;
}

bool FsDirReader::next(FsDirEntry& entry) {
    if (!state_->dir) return false;
    for (;;) {
        const struct dirent* d = ::readdir(state_->dir);
        if (!d) return false;
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        fromSystemPath(name, entry.name);
        entry.hidden = name[0] == '.';
        entry.link = d->d_type == DT_LNK || (d->d_type == DT_UNKNOWN && state_->isLink(name));
        if (state_->detail == kDetails) {
            state_->statEntry(name, entry);
            return true;
        }
        switch (d->d_type) {
            case DT_REG:
                entry.kind = FsEntryKind::kFile;
                break;
            case DT_DIR:
                entry.kind = FsEntryKind::kFolder;
                break;
            case DT_LNK:
            case DT_UNKNOWN:
                state_->statEntry(name, entry);
                break;
            default:
                entry.kind = FsEntryKind::kOther;
                break;
        }
        return true;
    }
}
