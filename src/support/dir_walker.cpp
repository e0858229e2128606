// One folder's listing for a walk: the folder is read once, its names kept
// in one buffer, sorted once, and then picked mask by mask.
#include "support/dir_walker.h"

#include <algorithm>
#include <string>

#include "support/path_utils.h"
#include "support/wildcard.h"

namespace {

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

bool hasExtension(std::string_view name) {
    return size_t(splitPath(name).extStart) < name.size();
}

LStr joinPath(const LStr& prefix, std::string_view name) {
    LStr path;
    path.reserve(prefix.length() + int32_t(name.size()));
    path.append(prefix.view()).append(name);
    return path;
}

}  // namespace

void LFileMasks::add(std::string_view mask) {
    masks_.push_back({LStr(mask), hasExtension(mask)});
}

bool LFileMasks::selects(int32_t i, std::string_view name) const {
    const Mask& m = masks_[i];
    if (!m.hasExtension && hasExtension(name)) return false;
    return matchesWildcard(m.text.view(), name);
}

void LFolderListing::clear() {
    identity = {};
    files.clear();
    subfolders.clear();
}

bool listFolder(std::string_view folder, const LFileMasks& masks, bool withSubfolders,
                LFolderListing& out) {
    out.clear();
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
        else if (entry.kind == FsEntryKind::kFolder && withSubfolders)
            folders.push_back(names.add(entry.name));
    }
    names.sort(files);
    names.sort(folders);

    LStr prefix(folder);
    appendSeparator(prefix);
    std::vector<bool> listed(files.size());
    for (int32_t m = 0; m < masks.count(); ++m) {
        for (size_t f = 0; f < files.size(); ++f) {
            if (listed[f] || !masks.selects(m, names[files[f]])) continue;
            listed[f] = true;
            out.files.push_back(joinPath(prefix, names[files[f]]));
        }
    }
    out.subfolders.reserve(folders.size());
    for (NameRef ref : folders) out.subfolders.push_back(joinPath(prefix, names[ref]));
    return true;
}

bool LDirWalkState::enter(const FsIdentity& folder) {
    if (std::find(path_.begin(), path_.end(), folder) != path_.end()) return false;
    path_.push_back(folder);
    return true;
}

void LDirWalkState::leave() {
    if (!path_.empty()) path_.pop_back();
}
