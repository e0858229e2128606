// The file system as the rest of the program sees it: kinds, sizes and write
// times of paths, folder enumeration, creating and removing entries, and the
// folders the program keeps its files in. Every path given and returned is
// Shift-JIS; the conversion to and from the system's UTF-8 happens here.
// Symbolic links are followed everywhere except by fsRemoveFile.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

#include "base/lstr.h"

// Results of fsPathKind.
enum FsPathKind : int {
    kPathNone = 0,    // nothing there (or not reachable)
    kPathFile = 1,    // a regular file
    kPathFolder = 2,  // a directory
    kPathOther = 3,   // FIFO, socket, device: exists, but is neither
};

// Kind of a folder entry. kOther covers FIFOs, sockets, devices and links
// whose target is missing: the "system" entries a walk skips.
enum class FsEntryKind : uint8_t { kFile, kFolder, kOther };

// Device and inode: the same folder reached by two paths has one identity.
struct FsIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    friend bool operator==(const FsIdentity&, const FsIdentity&) = default;
};

// Calendar fields of a time (month 1-12, day 1-31).
struct FsCalendar {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// File times are counts of 100 ns since 1601-01-01 UTC.
uint64_t fsFileTimeFromUnix(int64_t seconds, int64_t nanoseconds);

FsPathKind fsPathKind(std::string_view path);

// Opens the file for reading and takes its size and write time. False (with
// errno set) when it cannot be opened or is a folder.
bool fsOpenedFileInfo(std::string_view path, int64_t& size, uint64_t& writeTime);
// Size and write time of a regular file from one stat, without opening it.
// False (with errno set) when the path is not there or no regular file.
bool fsRegularFileInfo(std::string_view path, int64_t& size, uint64_t& writeTime);
// Write time without opening the file; false when the path is not there.
bool fsWriteTime(std::string_view path, uint64_t& writeTime);
bool fsIdentity(std::string_view path, FsIdentity& identity);

// The kernel's own trees /proc, /sys and /dev hold files that never end or
// block a reader. Whether a folder's device is that of one of them (a tree
// that is no mount of its own does not count), and whether a path resolves
// to one of them or into one.
bool fsOnKernelDevice(const FsIdentity& folder);
bool fsResolvesIntoKernelTree(std::string_view path);

// Converts a file time to local calendar fields; false when it cannot.
bool fsLocalCalendar(uint64_t fileTime, FsCalendar& out);

// Each returns false on failure with errno set.
bool fsMakeFolder(std::string_view path);
bool fsRemoveFolder(std::string_view path);
bool fsRemoveFile(std::string_view path);
// Renames, replacing an existing target in one step.
bool fsRename(std::string_view from, std::string_view to);

// Full path of the running program; false when the system does not say.
bool fsExecutablePath(LStr& out);
// The user's folders, without a trailing "/"; empty when unknown.
// Config: $XDG_CONFIG_HOME, else ~/.config. Cache: $XDG_CACHE_HOME, else
// ~/.cache. Home: $HOME, else the password database.
LStr fsUserConfigFolder();
LStr fsUserCacheFolder();
LStr fsHomeFolder();

// What the stat of an entry tells besides its identity.
struct FsEntryFacts {
    bool regular = false;  // a regular file (size and writeTime are its own)
    int64_t size = 0;
    uint64_t writeTime = 0;
};

// One folder entry as FsDirReader delivers it.
struct FsDirEntry {
    LStr name;  // Shift-JIS
    FsEntryKind kind = FsEntryKind::kOther;
    bool hidden = false;  // the name begins with "."
    bool link = false;    // a symbolic link (kind is that of its target)
    // Only with FsDirReader::kDetails (a stat per entry):
    int64_t size = 0;
    uint64_t writeTime = 0;
    FsIdentity identity;
};

// Reads a folder's entries one at a time, "." and ".." left out, in the
// order the system gives them. Without details the kind comes from the
// directory entry itself and a stat is made only for links and file systems
// that do not tell the kind. Reuse one FsDirEntry across next() calls so its
// name buffer is reused.
class FsDirReader {
public:
    enum Detail { kKindOnly, kDetails };
    // An empty folder path reads the current folder.
    explicit FsDirReader(std::string_view folder, Detail detail = kKindOnly);
    ~FsDirReader();
    FsDirReader(const FsDirReader&) = delete;
    FsDirReader& operator=(const FsDirReader&) = delete;

    bool isOpen() const;
    // errno of a failed open, else 0.
    int openError() const;
    // The identity of the folder itself (valid when open).
    const FsIdentity& identity() const;
    // The next entry; false at the end.
    bool next(FsDirEntry& entry);
    // The identity of the file or folder an entry's name leads to (links
    // followed), and with facts what the same stat tells of it; false with
    // errno set when it is gone.
    bool entryIdentity(std::string_view name, FsIdentity& identity,
                       FsEntryFacts* facts = nullptr) const;

private:
    struct State;
    std::unique_ptr<State> state_;
};
