// The walk reads each folder once, keeps its names in one buffer, sorts them
// once and then picks the files mask by mask. The identities of the folders
// on the current path keep the walk out of link cycles.
#include "support/dir_walker.h"

#include <algorithm>
#include <string>

#include "platform/file_system.h"
#include "support/path_utils.h"
#include "support/wildcard.h"

namespace {

bool nameHasExtension(std::string_view name) {
    return size_t(splitPath(name).extStart) < name.size();
}

struct FileMask {
    LStr text;
    bool hasExtension = false;

    bool selects(std::string_view name) const {
        if (!hasExtension && nameHasExtension(name)) return false;
        return matchesWildcard(text.view(), name);
    }
};

// A name inside the listing's buffer.
struct NameRef {
    uint32_t offset;
    uint32_t length;
};

class NameBuffer {
public:
    NameRef add(std::string_view name) {
        NameRef ref{uint32_t(text_.size()), uint32_t(name.size())};
        text_.append(name);
        return ref;
    }
    std::string_view operator[](NameRef ref) const {
        return std::string_view(text_).substr(ref.offset, ref.length);
    }
    void sort(std::vector<NameRef>& refs) const {
        std::sort(refs.begin(), refs.end(),
                  [this](NameRef a, NameRef b) { return (*this)[a] < (*this)[b]; });
    }

private:
    std::string text_;
};

// One folder's files in visiting order and its subfolders, as full paths.
struct FolderListing {
    FsIdentity identity;
    std::vector<LStr> files;
    std::vector<LStr> subfolders;
};

LStr joinPath(const LStr& prefix, std::string_view name) {
    LStr path;
    path.reserve(prefix.length() + int32_t(name.size()));
    path.append(prefix.view()).append(name);
    return path;
}

class FolderWalk {
public:
    FolderWalk(const std::vector<LStr>& masks, bool withSubfolders, const FileVisitor& visit)
        : withSubfolders_(withSubfolders), visit_(visit) {
        for (const LStr& mask : masks) masks_.push_back({mask, nameHasExtension(mask.view())});
    }

    int walk(std::string_view folder) {
        FolderListing listing;
        if (!list(folder, listing)) return 0;
        if (std::find(path_.begin(), path_.end(), listing.identity) != path_.end())
            return 0;  // a link back into the current path
        path_.push_back(listing.identity);
        int result = 0;
        for (const LStr& file : listing.files)
            if ((result = visit_(file)) != 0) break;
        for (size_t i = 0; result == 0 && i < listing.subfolders.size(); ++i)
            result = walk(listing.subfolders[i].view());
        path_.pop_back();
        return result;
    }

private:
    bool list(std::string_view folder, FolderListing& out) const {
        FsDirReader reader(folder);
        if (!reader.isOpen()) return false;
        out.identity = reader.identity();

        NameBuffer names;
        std::vector<NameRef> files, folders;
        FsDirEntry entry;
        while (reader.next(entry)) {
            if (entry.hidden) continue;
            if (entry.kind == FsEntryKind::kFile)
                files.push_back(names.add(entry.name));
            else if (entry.kind == FsEntryKind::kFolder && withSubfolders_)
                folders.push_back(names.add(entry.name));
        }
        names.sort(files);
        names.sort(folders);

        LStr prefix(folder);
        appendSeparator(prefix);
        std::vector<bool> listed(files.size());
        for (const FileMask& mask : masks_) {
            for (size_t f = 0; f < files.size(); ++f) {
                if (listed[f] || !mask.selects(names[files[f]])) continue;
                listed[f] = true;
                out.files.push_back(joinPath(prefix, names[files[f]]));
            }
        }
        for (NameRef ref : folders) out.subfolders.push_back(joinPath(prefix, names[ref]));
        return true;
    }

    std::vector<FileMask> masks_;
    bool withSubfolders_;
    const FileVisitor& visit_;
    std::vector<FsIdentity> path_;  // folders entered and not yet left
};

}  // namespace

int walkFolder(std::string_view folder, const std::vector<LStr>& masks, bool withSubfolders,
               const FileVisitor& visit) {
    return FolderWalk(masks, withSubfolders, visit).walk(folder);
}
