// Path splitting and the file-system helpers built on the platform layer.
#include "support/path_utils.h"

#include <algorithm>
#include <random>
#include <vector>

#include "base/ctype_table.h"
#include "platform/file_system.h"
#include "platform/working_folder.h"
#include "support/message_service.h"

namespace {

// Length of the character at i; a lead byte takes its trail byte with it,
// so a separator is never taken from the middle of a character.
int32_t charLength(std::string_view s, int32_t i) {
    if (!isLeadByte(byteAt(s, i)) || size_t(i) + 1 >= s.size()) return 1;
    unsigned char trail = byteAt(s, i + 1);
    return trail >= 0x40 && trail != 0x7F ? 2 : 1;
}

bool isSeparator(char c) {
    return c == '/';
}

// Offset of the last separator that begins before end, or -1.
int32_t lastSeparatorBefore(std::string_view path, int32_t end) {
    int32_t found = -1;
    for (int32_t i = 0; i < end; i += charLength(path, i))
        if (isSeparator(path[i])) found = i;
    return found;
}

// Length of the prefix without trailing separators (a lone root stays).
int32_t withoutTrailingSeparators(std::string_view path, int32_t end) {
    while (end > 1 && isSeparator(path[end - 1])) --end;
    return end;
}

// Whether folder lies strictly inside root (both without trailing "/").
bool isInside(std::string_view folder, std::string_view root) {
    return folder.size() > root.size() && folder.starts_with(root) &&
           (root.ends_with('/') || folder[root.size()] == '/');
}

}  // namespace

LPathParts splitPath(std::string_view path) {
    const int32_t n = int32_t(path.size());
    LPathParts p;
    p.extStart = n;
    for (int32_t i = 0; i < n;) {
        char c = path[i];
        if (isSeparator(c)) {
            p.sepPos = i;
            while (i < n && isSeparator(path[i])) ++i;
            p.nameStart = p.extDot = i;
            p.extStart = n;
            if (i < n) i += charLength(path, i);  // a leading "." starts no extension
            continue;
        }
        // ".." never starts an extension; a trailing dot starts an empty one.
        if (c == '.' && (i + 1 == n || (!isSeparator(path[i + 1]) && path[i + 1] != '.'))) {
            p.extDot = i;
            p.extStart = i + 1;
        }
        i += charLength(path, i);
    }
    return p;
}

LStr dirPart(std::string_view path, bool withSeparator) {
    LPathParts p = splitPath(path);
    if (withSeparator) return LStr(path.substr(0, p.nameStart));
    if (p.sepPos == 0 && !path.empty() && isSeparator(path[0])) return LStr(path.substr(0, 1));
    return LStr(path.substr(0, p.sepPos));
}

LStr namePart(std::string_view path) {
    return LStr(path.substr(splitPath(path).nameStart));
}

LStr extPart(std::string_view path) {
    return LStr(path.substr(splitPath(path).extStart));
}

void appendSeparator(LStr& path) {
    if (path.empty() || isSeparator(path.back())) return;
    path.append('/');
}

bool isWildcardMask(std::string_view text) {
    if (text.empty() || text[0] == '/' || text[0] == '-') return false;
    return text.find_first_of("*?") != std::string_view::npos;
}

bool isAbsolutePath(std::string_view text) {
    return !text.empty() && isSeparator(text[0]);
}

LStr resolvePath(std::string_view base, std::string_view path) {
    const bool absolute = isAbsolutePath(path) || isAbsolutePath(base);
    std::vector<std::string_view> kept;
    // "/" is never a trail byte, so the components split bytewise.
    auto addComponents = [&](std::string_view text) {
        for (size_t i = 0; i <= text.size();) {
            size_t end = std::min(text.find('/', i), text.size());
            std::string_view part = text.substr(i, end - i);
            i = end + 1;
            if (part.empty() || part == ".") continue;
            if (part != "..")
                kept.push_back(part);
            else if (!kept.empty() && kept.back() != "..")
                kept.pop_back();
            else if (!absolute)
                kept.push_back(part);  // nothing known to climb out of
        }
    };
    if (!isAbsolutePath(path)) addComponents(base);
    addComponents(path);
    LStr out;
    for (std::string_view part : kept) {
        if (absolute || !out.empty()) out.append('/');
        out.append(part);
    }
    if (out.empty()) out = absolute ? "/" : ".";
    return out;
}

LStr absolutePath(std::string_view path) {
    LStr base;
    if (!isAbsolutePath(path)) fsWorkingFolder(base);
    return resolvePath(base, path);
}

int pathKind(std::string_view path) {
    return fsPathKind(path);
}

int64_t fileSize(std::string_view path) {
    int64_t size = 0;
    uint64_t time = 0;
    return fsOpenedFileInfo(path, size, time) ? size : -1;
}

uint64_t fileWriteTime(std::string_view path) {
    uint64_t time = 0;
    return fsWriteTime(path, time) ? time : 0;
}

LFileDateTime fileDateTime(std::string_view path, LStr* text) {
    if (text) text->truncate(0);
    int64_t size = 0;
    uint64_t time = 0;
    if (!fsOpenedFileInfo(path, size, time)) return {};
    FsCalendar c;
    if (!fsLocalCalendar(time, c)) report(kMsgSystem, "FileTimeToLocalFileTime()");
    LFileDateTime result;
    result.date = c.year * 10000 + c.month * 100 + c.day;
    result.time = c.hour * 10000 + c.minute * 100 + c.second;
    if (text)
        *text = formatText("%02d/%02d/%02d %02d:%02d:%02d", c.year % 100, c.month, c.day, c.hour,
                           c.minute, c.second);
    return result;
}

int compareFileTimes(uint64_t a, uint64_t b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

bool removeFile(std::string_view path, bool reportFailure) {
    if (fsRemoveFile(path)) return true;
    if (reportFailure) report(kMsgErrno, "remove()");
    return false;
}

bool replaceFile(std::string_view from, std::string_view to) {
    return fsRename(from, to);
}

namespace {

// Makes sure the folder named by the first m bytes of path exists.
bool ensureFolderPrefix(std::string_view path, int32_t m) {
    m = withoutTrailingSeparators(path, m);
    if (m == 0) return true;
    std::string_view folder = path.substr(0, m);
    if (fsPathKind(folder) == kPathFolder) return true;
    int32_t sep = lastSeparatorBefore(path, m);
    if (sep > 0) ensureFolderPrefix(path, sep);
    return fsMakeFolder(folder) || fsPathKind(folder) == kPathFolder;
}

}  // namespace

bool ensureDirChain(std::string_view filePath) {
    LStr folder = dirPart(filePath, true);
    return ensureFolderPrefix(folder, folder.length());
}

void removeEmptyDirsUpward(std::string_view path, std::string_view stopAt) {
    LStr root(stopAt.substr(0, withoutTrailingSeparators(stopAt, int32_t(stopAt.size()))));
    LStr current(path);
    for (;;) {
        LStr folder = dirPart(current, false);
        if (folder.empty() || folder == "/") return;
        if (!root.empty() && !isInside(folder, root)) return;
        if (countDirEntries(folder) != 0) return;
        if (!fsRemoveFolder(folder)) {
            report(kMsgSystemWarning, "cannot delete directory '%s'", folder.c_str());
            return;
        }
        current = std::move(folder);
    }
}

int32_t countDirEntries(std::string_view folder) {
    FsDirReader reader(folder);
    if (!reader.isOpen()) return -1;
    int32_t count = 0;
    FsDirEntry entry;
    while (reader.next(entry))
        if (!(entry.hidden && entry.kind == FsEntryKind::kFolder)) ++count;
    return count;
}

LStr moduleFileName() {
    LStr path;
    if (!fsExecutablePath(path)) report(kMsgGeneral, "GetModuleFileName() failed");
    return path;
}

LStr moduleDir(bool withSeparator) {
    return dirPart(moduleFileName(), withSeparator);
}

LStr specialFolderPath(SpecialFolder folder) {
    LStr path;
    switch (folder) {
        case SpecialFolder::kUserConfig:
            path = fsUserConfigFolder();
            break;
        case SpecialFolder::kUserCache:
            path = fsUserCacheFolder();
            break;
        case SpecialFolder::kHome:
            path = fsHomeFolder();
            break;
    }
    return path.empty() ? moduleDir(false) : path;
}

LStr temporaryPathFor(std::string_view path) {
    std::random_device random;
    return formatText("%.*s.%08x.tmp", int(path.size()), path.data(), unsigned(random()));
}
