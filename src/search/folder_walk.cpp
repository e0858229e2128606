// Recursive folder walk over the listings of the directory walker.
#include "search/folder_walk.h"

#include "support/dir_walker.h"

namespace {

class FolderWalk {
public:
    FolderWalk(const LFileMasks& masks, bool withSubfolders, const FileVisitor& visit)
        : masks_(masks), withSubfolders_(withSubfolders), visit_(visit) {}

    int walk(std::string_view folder) {
        LFolderListing listing;
        if (!listFolder(folder, masks_, withSubfolders_, listing)) return 0;
        LDirWalkState::Scope inside(state_, listing.identity);
        if (!inside.entered()) return 0;  // a link back into the current path
        for (const LStr& path : listing.files)
            if (int r = visit_(path)) return r;
        for (const LStr& sub : listing.subfolders)
            if (int r = walk(sub.view())) return r;
        return 0;
    }

private:
    const LFileMasks& masks_;
    bool withSubfolders_;
    const FileVisitor& visit_;
    LDirWalkState state_;
};

}  // namespace

int walkFolder(std::string_view folder, const std::vector<LStr>& masks, bool withSubfolders,
               const FileVisitor& visit) {
    LFileMasks fileMasks;
    for (const LStr& mask : masks) fileMasks.add(mask.view());
    return FolderWalk(fileMasks, withSubfolders, visit).walk(folder);
}
