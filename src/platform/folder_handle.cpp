// POSIX implementation of FolderHandle: a descriptor opened with O_DIRECTORY,
// and *at() calls relative to it with AT_SYMLINK_NOFOLLOW / O_NOFOLLOW.
#include "platform/folder_handle.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/file_system.h"
#include "platform/path_encoding.h"

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

FolderItemKind itemKind(mode_t mode) {
    if (S_ISREG(mode)) return FolderItemKind::kFile;
    if (S_ISDIR(mode)) return FolderItemKind::kFolder;
    if (S_ISLNK(mode)) return FolderItemKind::kLink;
    return FolderItemKind::kOther;
}

// A single component: a "/" or a dot name would step out of the folder.
bool isPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

bool statItem(int fd, const char* sysName, FolderItem& item) {
    struct stat st;
    if (::fstatat(fd, sysName, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    item.kind = itemKind(st.st_mode);
    item.writeTime = fsFileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return true;
}

}  // namespace

FolderHandle::FolderHandle(std::string_view path) {
    const std::string sys = toSystemPath(path);
    fd_ = ::open(sys.c_str(), kFolderFlags);
}

FolderHandle::~FolderHandle() {
    if (fd_ >= 0) ::close(fd_);
}

FolderHandle::FolderHandle(FolderHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FolderHandle FolderHandle::openChild(std::string_view name) const {
    const std::string sys = toSystemPath(name);
    if (fd_ < 0 || !isPlainName(sys)) {
        errno = EINVAL;
        return FolderHandle();
    }
    return FolderHandle(::openat(fd_, sys.c_str(), kFolderFlags | O_NOFOLLOW));
}

FolderHandle FolderHandle::openOrMakeChild(std::string_view name) const {
    FolderHandle child = openChild(name);
    if (child.isOpen() || errno != ENOENT) return child;
    const std::string sys = toSystemPath(name);
    if (::mkdirat(fd_, sys.c_str(), 0777) != 0 && errno != EEXIST) return FolderHandle();
    return openChild(name);
}

bool FolderHandle::list(std::vector<FolderItem>& items) const {
    items.clear();
    if (fd_ < 0) return false;
    // The stream takes a descriptor of its own, so this one stays open.
    const int copy = ::openat(fd_, ".", kFolderFlags);
    DIR* dir = copy < 0 ? nullptr : ::fdopendir(copy);
    if (!dir) {
        if (copy >= 0) ::close(copy);
        return false;
    }
    while (const struct dirent* d = ::readdir(dir)) {
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        FolderItem item;
        if (!statItem(fd_, name, item)) continue;  // gone meanwhile
        fromSystemPath(name, item.name);
        items.push_back(std::move(item));
    }
    ::closedir(dir);
    return true;
}

bool FolderHandle::statNoFollow(std::string_view name, FolderItem& item) const {
    const std::string sys = toSystemPath(name);
    if (fd_ < 0 || !isPlainName(sys)) return false;
    item.name = LStr(name);
    return statItem(fd_, sys.c_str(), item);
}

bool FolderHandle::unlinkFile(std::string_view name) const {
    const std::string sys = toSystemPath(name);
    if (fd_ < 0 || !isPlainName(sys)) {
        errno = EINVAL;
        return false;
    }
    return ::unlinkat(fd_, sys.c_str(), 0) == 0;
}

FolderHandle::Removal FolderHandle::removeFolder(std::string_view name) const {
    const std::string sys = toSystemPath(name);
    if (fd_ < 0 || !isPlainName(sys)) {
        errno = EINVAL;
        return Removal::kFailed;
    }
    if (::unlinkat(fd_, sys.c_str(), AT_REMOVEDIR) == 0) return Removal::kRemoved;
    return errno == ENOTEMPTY || errno == EEXIST ? Removal::kNotEmpty : Removal::kFailed;
}
