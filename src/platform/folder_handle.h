// FolderHandle: an open folder, and the entries in it reached relative to it
// without ever following a symbolic link. The clean-ups of the index folder
// go through it, so a link standing anywhere below the folder they were
// given (in place of a mirror folder, an index file or a marker) is seen as
// a link and never leads them out. Names are Shift-JIS single components.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/lstr.h"

// What an entry is in itself; a link is a link whatever it points to.
enum class FolderItemKind : uint8_t { kFile, kFolder, kLink, kOther };

struct FolderItem {
    LStr name;
    FolderItemKind kind = FolderItemKind::kOther;
    uint64_t writeTime = 0;  // 100 ns units since 1601-01-01 UTC
};

class FolderHandle {
public:
    FolderHandle() = default;
    // Opens path, following links in it: the folder the caller names is
    // trusted, only what lies below it is not.
    explicit FolderHandle(std::string_view path);
    ~FolderHandle();
    FolderHandle(FolderHandle&& other) noexcept;
    FolderHandle& operator=(FolderHandle&& other) noexcept;
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    // The subfolder name; not open (errno ELOOP or ENOTDIR) when name is a
    // link or anything but a folder.
    FolderHandle openChild(std::string_view name) const;
    // openChild, making the folder first when it is not there.
    FolderHandle openOrMakeChild(std::string_view name) const;
    // Every entry but "." and "..", in the order the system gives them;
    // false when the folder cannot be read.
    bool list(std::vector<FolderItem>& items) const;
    // The entry itself, not what a link points to; false when it is not there.
    bool statNoFollow(std::string_view name, FolderItem& item) const;
    // Removes a file or a link (never a link's target). False with errno set.
    bool unlinkFile(std::string_view name) const;
    enum class Removal { kRemoved, kNotEmpty, kFailed };
    // Removes an empty subfolder; never a link (kFailed, errno ENOTDIR).
    // A folder that still holds something is kNotEmpty, no failure.
    Removal removeFolder(std::string_view name) const;

private:
    explicit FolderHandle(int fd) : fd_(fd) {}
    int fd_ = -1;
};
