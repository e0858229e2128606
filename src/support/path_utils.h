// Path operations over Shift-JIS path strings: splitting a path into folder,
// name and extension, testing and sizing files, creating a folder chain for
// a file, removing folders left empty, and the program's own and the user's
// folders. The separator is "/"; a backslash is an ordinary name byte. None
// of these functions throws; failures are reported where noted and a neutral
// result is returned.
#pragma once
#include <cstdint>
#include <string_view>

#include "base/lstr.h"

// Byte offsets into a path of length n.
struct LPathParts {
    int32_t sepPos = 0;     // first separator of the last run of separators (0 without one)
    int32_t nameStart = 0;  // just after that run: start of the last component
    int32_t extDot = 0;     // the dot that starts the extension (nameStart without one)
    int32_t extStart = 0;   // just after that dot (n without an extension)
};

LPathParts splitPath(std::string_view path);
// The folder of a path: up to the last separator run, or with
// withSeparator up to the start of the name. A path whose only separator run
// begins it keeps that run ("/x" gives "/"), so the root is never lost.
LStr dirPart(std::string_view path, bool withSeparator);
// The last component, with its extension.
LStr namePart(std::string_view path);
// The extension without its dot; empty when there is none. A name that
// begins with "." has no extension from that dot.
LStr extPart(std::string_view path);
// Appends "/" unless the string is empty or already ends with "/".
void appendSeparator(LStr& path);
// True when text does not begin with "/" or "-" and holds "*" or "?".
bool isWildcardMask(std::string_view text);
bool isAbsolutePath(std::string_view text);
// path taken against the absolute folder base when it is relative, with
// "." and ".." components resolved and runs of "/" collapsed, by the text
// alone: symbolic links are not resolved, and ".." at the root stays there.
// No trailing "/" except for the root itself.
LStr resolvePath(std::string_view base, std::string_view path);
// resolvePath against the working folder. This is the one form under which
// a file is known to the index, whatever the user typed. A relative path
// is only normalised when the working folder is unknown.
LStr absolutePath(std::string_view path);

// 0 not found, 1 regular file, 2 folder, 3 another kind of entry (a FIFO,
// socket or device: it exists, but it is no file to read).
int pathKind(std::string_view path);
// The size in bytes, or -1 when the file cannot be opened for reading.
int64_t fileSize(std::string_view path);
// Write time in 100 ns units since 1601-01-01 UTC; 0 when the path is not
// there.
uint64_t fileWriteTime(std::string_view path);

// The local date and time of a file's last write.
struct LFileDateTime {
    int32_t date = 0;  // yyyymmdd
    int32_t time = 0;  // hhmmss
};
// 0 and 0 when the file cannot be opened. With text, also
// "yy/mm/dd hh:mm:ss" (two-digit year) into it (emptied on failure).
LFileDateTime fileDateTime(std::string_view path, LStr* text = nullptr);
// -1, 0 or 1: the sign of a - b.
int compareFileTimes(uint64_t a, uint64_t b);

// Removes a file; with reportFailure, a failure is reported (17100).
bool removeFile(std::string_view path, bool reportFailure);
// Renames a file over an existing one in one step (for writing through a
// temporary file); false on failure, errno set, nothing reported.
bool replaceFile(std::string_view from, std::string_view to);
// Creates every missing folder of dirPart(filePath, true). Failures are not
// reported; returns whether the folder exists afterwards.
bool ensureDirChain(std::string_view filePath);
// Removes the folder of path when it is empty, then its parent, and so on,
// stopping at the first folder that is not empty, at "/" and at stopAt (which
// is never removed, nor anything outside it, when it is given). A failed
// removal is reported as a warning (37000).
void removeEmptyDirsUpward(std::string_view path, std::string_view stopAt = {});
// Entries of a folder, not counting subfolders whose name begins with ".";
// -1 when the folder cannot be read.
int32_t countDirEntries(std::string_view folder);

// The full path of the running program (reported, 15000, when unknown).
LStr moduleFileName();
LStr moduleDir(bool withSeparator);

// The user's folders the program keeps its files in.
enum class SpecialFolder {
    kUserConfig,  // settings: $XDG_CONFIG_HOME or ~/.config
    kUserCache,   // index and converted texts: $XDG_CACHE_HOME or ~/.cache
    kHome,        // the home folder
};
// The folder without a trailing "/"; moduleDir(false) when it is unknown.
LStr specialFolderPath(SpecialFolder folder);

// path + ".xxxxxxxx.tmp" with eight random hex digits: the name a file is
// written under before it is renamed over path.
LStr temporaryPathFor(std::string_view path);
