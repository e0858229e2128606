// Remembering the record separator of an index folder, and dropping its
// index files when the separator changes.
#include "index/index_separator.h"

#include "index/index_marker.h"
#include "index/own_files.h"
#include "platform/folder_handle.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "text/file_stream.h"

namespace {

// Longer contents are not a separator this program wrote.
constexpr int32_t kMaxStoredLength = 65536;

// Only a regular file in its place counts: a link was not written here.
bool readStored(const LStr& folder, const LStr& path, LStr& text) {
    FolderItem item;
    if (!FolderHandle(folder.view()).statNoFollow(kIndexSeparatorName, item) ||
        item.kind != FolderItemKind::kFile)
        return false;
    LFile in;
    if (!in.open(path, 'r', false)) return false;
    char buffer[4096];
    for (int32_t got; (got = in.read(buffer, sizeof buffer)) > 0;) {
        text.append(std::string_view(buffer, size_t(got)));
        if (text.length() > kMaxStoredLength) return false;
    }
    return true;
}

// Deletes the index files under the mirror roots of indexFolder.
int dropIndexFiles(const LStr& indexFolder) {
    int dropped = 0;
    walkOwnFiles(indexFolder, [&](const OwnFile& file) {
        if (!isIndexFileName(file.item.name.view()) || !hasIndexFileHeader(file.path))
            return OwnFileStep::kKept;
        if (!file.folder.unlinkFile(file.item.name.view())) {
            report(kMsgErrno, "remove()");
            return OwnFileStep::kKept;
        }
        ++dropped;
        return OwnFileStep::kDeleted;
    });
    return dropped;
}

}  // namespace

LStr indexSeparatorPath(std::string_view indexFolder) {
    LStr path(indexFolder);
    appendSeparator(path);
    return path.append(kIndexSeparatorName);
}

LStr indexCutKey(std::string_view separatorEsc, bool autoDetectCharset) {
    LStr key(separatorEsc);
    if (!autoDetectCharset) key.append("\nautoDetectCharset=0");
    return key;
}

int matchIndexSeparator(std::string_view indexFolder, std::string_view separatorEsc) {
    if (!ensureIndexFolder(indexFolder) || !hasIndexMarker(indexFolder)) return 0;
    LStr folder = absolutePath(indexFolder);
    appendSeparator(folder);
    const LStr path = indexSeparatorPath(folder);
    LStr stored;
    if (readStored(folder, path, stored) && stored.view() == separatorEsc) return 0;
    const int dropped = dropIndexFiles(folder);
    debugLog("record separator changed: %d index files dropped\n", dropped);
    writeIndexFolderFile(path, separatorEsc);
    return dropped;
}
