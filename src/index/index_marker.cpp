// Creating and recognising the program's index folder.
#include "index/index_marker.h"

#include "support/path_utils.h"
#include "text/file_stream.h"

namespace {

constexpr std::string_view kMarkerText =
    "This folder holds Quillfind's index files and converted texts.\n"
    "Quillfind may delete files below it.\n";

bool writeMarker(std::string_view markerPath) {
    LFile file(markerPath, 'w', false);
    if (!file.isOpen()) return false;
    return file.write(kMarkerText.data(), int32_t(kMarkerText.size())) ==
           int32_t(kMarkerText.size());
}

}  // namespace

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
            writeMarker(marker);
            return true;
        case 2:
            if (pathKind(marker) != 1 && countDirEntries(indexFolder) == 0) writeMarker(marker);
            return true;
        default:
            return false;
    }
}

bool hasIndexMarker(std::string_view indexFolder) {
    return !indexFolder.empty() && pathKind(indexMarkerPath(indexFolder)) == 1;
}
