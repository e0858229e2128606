// Names of the program's files under the mirror roots, and the walk over
// them through folder handles.
#include "index/own_files.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "index/ix_file.h"
#include "index/ix_paths.h"
#include "platform/file_system.h"
#include "support/message_service.h"
#include "text/io_file.h"

namespace {

bool endsWithNoCase(std::string_view text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    text = text.substr(text.size() - tail.size());
    for (size_t i = 0; i < tail.size(); ++i) {
        char a = text[i];
        if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
        if (a != tail[i]) return false;
    }
    return true;
}

bool isLowerHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

uint64_t fileTimeNow() {
    using namespace std::chrono;
    const auto sinceEpoch = system_clock::now().time_since_epoch();
    const auto seconds = duration_cast<std::chrono::seconds>(sinceEpoch);
    return fsFileTimeFromUnix(seconds.count(),
                              duration_cast<nanoseconds>(sinceEpoch - seconds).count());
}

struct Listing {
    std::vector<FolderItem> files, folders;
};

// The folder's visible files and real subfolders, each in byte order; at the
// top of the index folder only the mirror roots.
Listing listFolder(const FolderHandle& folder, const LStr& path, bool top,
                   const LStr& indexFolder) {
    std::vector<FolderItem> items;
    Listing listing;
    folder.list(items);
    for (FolderItem& item : items) {
        if (item.name.view().starts_with('.')) continue;
        if (top && !ixUnderMirrorRoot(indexFolder, LStr(path).append(item.name.view()).view()))
            continue;
        if (item.kind == FolderItemKind::kFile) listing.files.push_back(std::move(item));
        if (item.kind == FolderItemKind::kFolder) listing.folders.push_back(std::move(item));
    }
    auto byName = [](const FolderItem& a, const FolderItem& b) {
        return a.name.view() < b.name.view();
    };
    std::sort(listing.files.begin(), listing.files.end(), byName);
    std::sort(listing.folders.begin(), listing.folders.end(), byName);
    return listing;
}

struct Walk {
    const LStr& indexFolder;
    const OwnFileVisitor& visit;

    // False on kStop; deleted tells whether anything below path went.
    bool folder(const FolderHandle& handle, const LStr& path, bool top, bool& deleted) {
        const Listing listing = listFolder(handle, path, top, indexFolder);
        for (const FolderItem& item : listing.files) {
            const LStr filePath = LStr(path).append(item.name.view());
            const OwnFileStep step = visit(OwnFile{handle, item, filePath});
            if (step == OwnFileStep::kStop) return false;
            deleted |= step == OwnFileStep::kDeleted;
        }
        for (const FolderItem& item : listing.folders) {
            FolderHandle child = handle.openChild(item.name.view());
            if (!child.isOpen()) continue;  // replaced by a link meanwhile, or unreadable
            LStr childPath = LStr(path).append(item.name.view()).append('/');
            bool childDeleted = false;
            const bool completed = folder(child, childPath, false, childDeleted);
            if (childDeleted) {
                deleted = true;
                removeIfEmpty(handle, item.name, childPath);
            }
            if (!completed) return false;
        }
        return true;
    }

    void removeIfEmpty(const FolderHandle& parent, const LStr& name, LStr& path) {
        if (parent.removeFolder(name.view()) != FolderHandle::Removal::kFailed) return;
        path.truncate(path.length() - 1);
        report(kMsgSystemWarning, "cannot delete directory '%s'", path.c_str());
    }
};

}  // namespace

bool isIndexFileName(std::string_view name) {
    return endsWithNoCase(name, ".qfd");
}

bool isRowsFileName(std::string_view name) {
    return endsWithNoCase(name, ".qfr");
}

bool isConvertedTextName(std::string_view name) {
    return endsWithNoCase(name, ".txt");
}

bool isOwnTemporaryName(std::string_view name) {
    constexpr size_t kTailSize = 13;  // ".xxxxxxxx.tmp"
    if (name.size() <= kTailSize || !name.ends_with(".tmp")) return false;
    const std::string_view tail = name.substr(name.size() - kTailSize);
    if (tail[0] != '.' || !std::all_of(tail.begin() + 1, tail.begin() + 9, isLowerHex))
        return false;
    const std::string_view base = name.substr(0, name.size() - kTailSize);
    return base.size() > 4 &&
           (isIndexFileName(base) || isRowsFileName(base) || isConvertedTextName(base));
}

bool isStaleTemporary(uint64_t writeTime) {
    const uint64_t now = fileTimeNow();
    return writeTime < now && now - writeTime >= kStaleTemporaryAge;
}

bool hasIndexFileHeader(std::string_view path) {
    LIoFile in;
    return in.open(path, 'r', false) && readIndexHeader(in).state != IxFileHeader::kNotIndex;
}

bool walkOwnFiles(const LStr& indexFolder, const OwnFileVisitor& visit) {
    FolderHandle top(indexFolder.view());
    if (!top.isOpen()) return true;
    bool deleted = false;
    return Walk{indexFolder, visit}.folder(top, indexFolder, true, deleted);
}
