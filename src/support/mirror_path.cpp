#include "support/mirror_path.h"

#include "platform/folder_handle.h"
#include "support/path_utils.h"

LStr ixFolderPrefix(std::string_view indexFolder) {
    if (indexFolder.empty()) return {};
    LStr s = absolutePath(indexFolder);
    appendSeparator(s);
    return s;
}

LStr ixMirrorPath(std::string_view indexFolder, std::string_view source) {
    LStr path = ixFolderPrefix(indexFolder);
    path.append("x_");
    LStr absolute = absolutePath(source);
    if (absolute != "/") path.append(absolute.view());
    return path;
}

bool makeFoldersWithoutLinks(std::string_view base, std::string_view relative) {
    FolderHandle folder(base);
    while (folder.isOpen() && !relative.empty()) {
        const size_t slash = relative.find('/');
        folder = folder.openOrMakeChild(relative.substr(0, slash));
        relative = slash == std::string_view::npos ? "" : relative.substr(slash + 1);
    }
    return folder.isOpen();
}
