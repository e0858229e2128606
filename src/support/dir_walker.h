// Building blocks of a folder walk: the file masks with their extension
// rule, the listing of one folder in walk order, and the walk state that
// keeps a walk out of symbolic-link cycles. The caller drives the recursion:
//
//     LDirWalkState state;
//     int walk(std::string_view folder) {
//         LFolderListing listing;
//         if (!listFolder(folder, masks, withSubfolders, listing)) return 0;
//         LDirWalkState::Scope inside(state, listing.identity);
//         if (!inside.entered()) return 0;        // a link back into the path
//         for (const LStr& path : listing.files)
//             if (int r = visit(path)) return r;
//         for (const LStr& sub : listing.subfolders)
//             if (int r = walk(sub)) return r;
//         return 0;
//     }
//
// Files come before subfolders; the files go mask by mask, each mask's
// files in byte order, and a file selected by an earlier mask is not listed
// again. Hidden entries (names beginning with ".") and system entries
// (neither file nor folder) are never listed; links are followed.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "base/lstr.h"

// The masks of a walk, in the order given.
class LFileMasks {
public:
    void add(std::string_view mask);
    int32_t count() const { return int32_t(masks_.size()); }
    std::string_view mask(int32_t i) const { return masks_[i].text.view(); }
    // Whether mask i selects a file name: the wildcard matches and either the
    // mask has an extension or the name has none (so "*" selects only names
    // without an extension, while "*.*" selects all).
    bool selects(int32_t i, std::string_view name) const;

private:
    struct Mask {
        LStr text;
        bool hasExtension = false;
    };
    std::vector<Mask> masks_;
};

// What listFolder found in one folder.
struct LFolderListing {
    FsIdentity identity;           // of the folder listed
    std::vector<LStr> files;       // full paths, in walk order
    std::vector<LStr> subfolders;  // full paths, in byte order
    void clear();
};

// Lists a folder; subfolders only when withSubfolders is set. Paths are the
// folder, "/" unless it already ends so, and the name (the bare name for an
// empty folder, which means the current one). False, with an empty listing,
// when the folder cannot be read.
bool listFolder(std::string_view folder, const LFileMasks& masks, bool withSubfolders,
                LFolderListing& out);

// The identities of the folders on the current path of a walk.
class LDirWalkState {
public:
    // Marks a folder as entered; false (and nothing marked) when the walk is
    // already inside it.
    bool enter(const FsIdentity& folder);
    void leave();
    int32_t depth() const { return int32_t(path_.size()); }

    // Enters for the lifetime of the scope.
    class Scope {
    public:
        Scope(LDirWalkState& state, const FsIdentity& folder)
            : state_(state), entered_(state.enter(folder)) {}
        ~Scope() {
            if (entered_) state_.leave();
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        bool entered() const { return entered_; }

    private:
        LDirWalkState& state_;
        bool entered_;
    };

private:
    std::vector<FsIdentity> path_;
};
