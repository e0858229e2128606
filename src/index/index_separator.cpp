// Remembering the record separator of an index folder, and dropping its
// index files when the separator changes.
#include "index/index_separator.h"

#include "index/index_marker.h"
#include "index/ix_paths.h"
#include "support/dir_walker.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "text/file_stream.h"

namespace {

// Longer contents are not a separator this program wrote.
constexpr int32_t kMaxStoredLength = 65536;

bool readStored(const LStr& path, LStr& text) {
    LFile in;
    if (!in.open(path, 'r', false)) return false;
    char buffer[4096];
    for (int32_t got; (got = in.read(buffer, sizeof buffer)) > 0;) {
        text.append(std::string_view(buffer, size_t(got)));
        if (text.length() > kMaxStoredLength) return false;
    }
    return true;
}

void store(const LStr& path, std::string_view separatorEsc) {
    LFile out;
    if (!out.open(path, 'w')) return;
    out.write(separatorEsc.data(), int32_t(separatorEsc.size()));
}

// Deletes the index files under the mirror roots of indexFolder.
int dropIndexFiles(const LStr& indexFolder) {
    int dropped = 0;
    walkFolder(indexFolder, {LStr("*.qfd")}, true, [&](const LStr& file) {
        if (!ixUnderMirrorRoot(indexFolder, file) || !removeFile(file, true)) return 0;
        removeEmptyDirsUpward(file, indexFolder);
        ++dropped;
        return 0;
    });
    return dropped;
}

}  // namespace

LStr indexSeparatorPath(std::string_view indexFolder) {
    LStr path(indexFolder);
    appendSeparator(path);
    return path.append(kIndexSeparatorName);
}

int matchIndexSeparator(std::string_view indexFolder, std::string_view separatorEsc) {
    if (!ensureIndexFolder(indexFolder) || !hasIndexMarker(indexFolder)) return 0;
    const LStr path = indexSeparatorPath(indexFolder);
    LStr stored;
    if (readStored(path, stored) && stored.view() == separatorEsc) return 0;
    LStr folder = absolutePath(indexFolder);
    appendSeparator(folder);
    const int dropped = dropIndexFiles(folder);
    debugLog("record separator changed: %d index files dropped\n", dropped);
    store(path, separatorEsc);
    return dropped;
}
