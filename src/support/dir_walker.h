// The folder walk every part of the program uses: the search over the
// folders the user names, and the index folder's clean-ups. A folder's
// files come before its subfolders; the files go mask by mask, each mask's
// files in byte order, and a file selected by an earlier mask is not
// visited again. Subfolders follow in byte order. Hidden entries (names
// beginning with ".") and system entries (neither file nor folder) are
// never visited. Symbolic links are followed, but every folder and every
// file is visited once, under the first path the walk meets it by (device
// and inode decide), so webs of links end and hard links count once.
#pragma once
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "platform/file_system.h"

// Called with the path of each file: the folder, "/" unless it already ends
// so, and the name (the bare name for an empty folder, which means the
// current one). A non-zero result ends the walk with that result.
using FileVisitor = std::function<int(const LStr& path)>;

// The result of a walk that the run's stop flag ended.
inline constexpr int kWalkStopped = -1;

// Walks folders, and their subfolders when withSubfolders is set, visiting
// the files the masks select. A mask without an extension selects only
// names without one ("*" does not select "a.txt"; "*.*" selects every
// name). The walk polls the stop flag of the calling thread's run between
// entries. It reports (as warnings) a folder that cannot be read and a
// FIFO, socket or device a mask selects, and passes over both. Below a
// folder outside /proc, /sys and /dev it enters none of those trees, through
// a link or as a mount.
class FolderWalker {
public:
    FolderWalker(const std::vector<LStr>& masks, bool withSubfolders);
    ~FolderWalker();
    FolderWalker(const FolderWalker&) = delete;
    FolderWalker& operator=(const FolderWalker&) = delete;

    // Walks one folder; folders and files met by earlier walks of this
    // walker are not visited again. Returns 0 when the walk completed, else
    // the first non-zero visitor result or kWalkStopped.
    int walk(std::string_view folder, const FileVisitor& visit);

private:
    class Walk;
    struct Seen;
    std::unique_ptr<Seen> seen_;
    std::vector<LStr> masks_;
    bool withSubfolders_;
};

// One walk of one folder with a walker of its own.
int walkFolder(std::string_view folder, const std::vector<LStr>& masks, bool withSubfolders,
               const FileVisitor& visit);

// Publishes what the walk read of a file on this thread while the file is
// visited. A search thread given the file by the walking thread publishes
// the walk's facts the same way.
class VisitedFileScope {
public:
    VisitedFileScope(const LStr& path, const FsEntryFacts& facts);
    ~VisitedFileScope();
    VisitedFileScope(const VisitedFileScope&) = delete;
    VisitedFileScope& operator=(const VisitedFileScope&) = delete;
};

// What the walk read of the file at path when it is being visited on this
// thread; nothing (not regular) otherwise.
FsEntryFacts visitedFileFacts(std::string_view path);

// The size and write time of the regular file at path, read by the walk
// just before it visits it, when the visit is running on this thread; once,
// so a later question about the file asks the file system. False otherwise.
bool takeVisitedFileInfo(std::string_view path, int64_t& size, uint64_t& writeTime);

// The warning for a FIFO, socket or device that was to be searched.
void reportNotRegularFile(std::string_view path);
