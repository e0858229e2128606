// Creating and recognising the program's index folder, and writing the
// small files at its top.
#include "index/index_marker.h"

#include "platform/folder_handle.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "text/file_stream.h"

namespace {

constexpr std::string_view kMarkerText =
    "This folder holds Quillfind's index files and converted texts.\n"
    "Quillfind may delete files below it.\n";

bool writeAll(std::string_view path, std::string_view text) {
    LFile file(path, 'w', false);
    if (!file.isOpen()) return false;
    const bool written = file.write(text.data(), int32_t(text.size())) == int32_t(text.size());
    file.close();
    return written;
}

// The top-level entry name of indexFolder, as it is (a link is no file).
FolderItemKind entryKind(std::string_view indexFolder, std::string_view name) {
    FolderItem item;
    if (!FolderHandle(indexFolder).statNoFollow(name, item)) return FolderItemKind::kOther;
    return item.kind;
}

}  // namespace

bool writeIndexFolderFile(std::string_view path, std::string_view text) {
    const LStr temporary = temporaryPathFor(path);
    if (writeAll(temporary, text) && replaceFile(temporary, path)) return true;
    removeFile(temporary, false);
    return false;
}

LStr indexMarkerPath(std::string_view indexFolder) {
    LStr path(indexFolder);
    appendSeparator(path);
    return path.append(kIndexMarkerName);
}

bool ensureIndexFolder(std::string_view indexFolder) {
    if (indexFolder.empty()) return false;
    LStr marker = indexMarkerPath(indexFolder);
    switch (pathKind(indexFolder)) {
        case 0:
            if (!ensureDirChain(marker)) return false;
            writeIndexFolderFile(marker, kMarkerText);
            return true;
        case 2:
            if (!hasIndexMarker(indexFolder) && countDirEntries(indexFolder) == 0)
                writeIndexFolderFile(marker, kMarkerText);
            return true;
        default:
            return false;
    }
}

bool hasIndexMarker(std::string_view indexFolder) {
    return !indexFolder.empty() &&
           entryKind(indexFolder, kIndexMarkerName) == FolderItemKind::kFile;
}
