// The walk reads each folder once, keeps its names in one buffer, sorts them
// once and then picks the files mask by mask. The identities of every folder
// and file met so far keep it from going round link cycles and webs, and
// each folder's descriptor is closed before its subfolders are entered, so
// deep trees do not run out of descriptors. A file is looked at (its
// identity, size and write time) just before it is visited, and a visitor
// on the same thread may take that look instead of making its own.
#include "support/dir_walker.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <unordered_set>

#include "platform/file_system.h"
#include "platform/system_error.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "support/stop_flag.h"
#include "support/wildcard.h"

namespace {

// "フォルダ %s を読めません"
const char kJaCannotReadFolder[] =
    "\x83t\x83H\x83\x8B\x83_ %s \x82\xF0\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1";
// "%s は通常のファイルではないので、検索しません"
const char kJaNotRegular[] =
    "%s \x82\xCD\x92\xCA\x8F\xED\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xC5\x82\xCD\x82\xC8\x82\xA2\x82\xCC\x82\xC5\x81"
    "A\x8C\x9F\x8D\xF5\x82\xB5\x82\xDC\x82\xB9\x82\xF1";

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
    bool link;  // a symbolic link
};

class NameBuffer {
public:
    NameRef add(std::string_view name, bool link) {
        NameRef ref{uint32_t(text_.size()), uint32_t(name.size()), link};
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

struct Subfolder {
    LStr path;
    bool link;
};

// One folder's selected files in visiting order and its subfolders, as
// full paths. The folder stays open while its files are visited: each is
// looked at only then, so what the walk hands on about it is fresh.
struct FolderListing {
    std::unique_ptr<FsDirReader> reader;
    size_t nameAt = 0;  // where the names begin in the files' paths
    std::vector<LStr> files;
    std::vector<Subfolder> subfolders;
};

// The file being visited on this thread and what its stat told.
struct VisitedFile {
    const LStr* path = nullptr;
    FsEntryFacts facts;
};
thread_local VisitedFile t_visited;

LStr joinPath(const LStr& prefix, std::string_view name) {
    LStr path;
    path.reserve(prefix.length() + int32_t(name.size()));
    path.append(prefix.view()).append(name);
    return path;
}

void reportUnreadableFolder(std::string_view folder, int error) {
    // A folder that is gone (or no folder) is the caller's to mention.
    if (error == ENOENT || error == ENOTDIR) return;
    setLastSystemError(error);
    report(kMsgSystemWarning, jaEn(kJaCannotReadFolder, "cannot read folder %s"),
           LStr(folder).c_str());
}

struct IdentityHash {
    size_t operator()(const FsIdentity& id) const {
        return std::hash<uint64_t>()(id.inode * 0x9E3779B97F4A7C15ull ^ id.device);
    }
};

}  // namespace

struct FolderWalker::Seen {
    std::unordered_set<FsIdentity, IdentityHash> folders;
    std::unordered_set<FsIdentity, IdentityHash> files;
};

class FolderWalker::Walk {
public:
    Walk(FolderWalker& walker, const FileVisitor& visit, bool inKernelTree)
        : seen_(*walker.seen_),
          withSubfolders_(walker.withSubfolders_),
          visit_(visit),
          inKernelTree_(inKernelTree) {
        for (const LStr& mask : walker.masks_)
            masks_.push_back({mask, nameHasExtension(mask.view())});
    }

    int enter(std::string_view folder) {
        FolderListing listing;
        switch (list(folder, listing)) {
            case Listed::kNo:
                return 0;
            case Listed::kStopped:
                return kWalkStopped;
            case Listed::kYes:
                break;
        }
        for (const LStr& file : listing.files) {
            if (stopRequested()) return kWalkStopped;
            if (int result = visitFile(listing, file)) return result;
        }
        listing.reader.reset();  // one open folder at a time, however deep
        for (const Subfolder& sub : listing.subfolders) {
            if (sub.link && !inKernelTree_ && fsResolvesIntoKernelTree(sub.path.view())) continue;
            if (int result = enter(sub.path.view())) return result;
        }
        return 0;
    }

private:
    enum class Listed { kYes, kNo, kStopped };

    Listed list(std::string_view folder, FolderListing& out) {
        if (stopRequested()) return Listed::kStopped;
        out.reader = std::make_unique<FsDirReader>(folder);
        FsDirReader& reader = *out.reader;
        if (!reader.isOpen()) {
            reportUnreadableFolder(folder, reader.openError());
            return Listed::kNo;
        }
        if (!inKernelTree_ && fsOnKernelDevice(reader.identity())) return Listed::kNo;
        if (!seen_.folders.insert(reader.identity()).second) return Listed::kNo;

        NameBuffer names;
        std::vector<NameRef> files, others, folders;
        FsDirEntry entry;
        while (reader.next(entry)) {
            if (stopRequested()) return Listed::kStopped;
            if (entry.hidden) continue;
            if (entry.kind == FsEntryKind::kFile)
                files.push_back(names.add(entry.name.view(), entry.link));
            else if (entry.kind == FsEntryKind::kFolder && withSubfolders_)
                folders.push_back(names.add(entry.name.view(), entry.link));
            else if (entry.kind == FsEntryKind::kOther)
                others.push_back(names.add(entry.name.view(), entry.link));
        }
        names.sort(files);
        names.sort(others);
        names.sort(folders);

        LStr prefix(folder);
        appendSeparator(prefix);
        out.nameAt = size_t(prefix.length());
        selectFiles(names, files, prefix, out.files);
        reportSelectedSpecials(reader, names, others, prefix);
        for (NameRef ref : folders)
            out.subfolders.push_back({joinPath(prefix, names[ref]), ref.link});
        return Listed::kYes;
    }

    bool selected(std::string_view name) const {
        return std::any_of(masks_.begin(), masks_.end(),
                           [name](const FileMask& mask) { return mask.selects(name); });
    }

    void selectFiles(const NameBuffer& names, const std::vector<NameRef>& files, const LStr& prefix,
                     std::vector<LStr>& out) {
        std::vector<bool> taken(files.size());
        for (const FileMask& mask : masks_) {
            for (size_t f = 0; f < files.size(); ++f) {
                if (taken[f] || !mask.selects(names[files[f]])) continue;
                taken[f] = true;
                out.push_back(joinPath(prefix, names[files[f]]));
            }
        }
    }

    // A file that is gone by now, or was met under another path, is left out.
    int visitFile(const FolderListing& listing, const LStr& file) {
        FsIdentity identity;
        FsEntryFacts facts;
        if (!listing.reader->entryIdentity(file.view().substr(listing.nameAt), identity, &facts))
            return 0;
        if (!seen_.files.insert(identity).second) return 0;
        VisitedFileScope scope(file, facts);
        return visit_(file);
    }

    // FIFOs, sockets and devices the user's masks name get one line each;
    // links whose target is missing are passed over without one.
    void reportSelectedSpecials(const FsDirReader& reader, const NameBuffer& names,
                                const std::vector<NameRef>& others, const LStr& prefix) {
        for (NameRef ref : others) {
            FsIdentity identity;
            if (!selected(names[ref]) || !reader.entryIdentity(names[ref], identity)) continue;
            if (!seen_.files.insert(identity).second) continue;
            reportNotRegularFile(joinPath(prefix, names[ref]).view());
        }
    }

    Seen& seen_;
    std::vector<FileMask> masks_;
    bool withSubfolders_;
    const FileVisitor& visit_;
    bool inKernelTree_;  // the walk began inside /proc, /sys or /dev
};

FolderWalker::FolderWalker(const std::vector<LStr>& masks, bool withSubfolders)
    : seen_(std::make_unique<Seen>()), masks_(masks), withSubfolders_(withSubfolders) {}

FolderWalker::~FolderWalker() = default;

int FolderWalker::walk(std::string_view folder, const FileVisitor& visit) {
    return Walk(*this, visit, fsResolvesIntoKernelTree(folder)).enter(folder);
}

void reportNotRegularFile(std::string_view path) {
    report(kMsgWarning, jaEn(kJaNotRegular, "%s is not a regular file; not searched"),
           LStr(path).c_str());
}

VisitedFileScope::VisitedFileScope(const LStr& path, const FsEntryFacts& facts) {
    t_visited = {&path, facts};
}

VisitedFileScope::~VisitedFileScope() {
    t_visited = {};
}

FsEntryFacts visitedFileFacts(std::string_view path) {
    const VisitedFile& visited = t_visited;
    if (!visited.path || visited.path->view() != path) return {};
    return visited.facts;
}

bool takeVisitedFileInfo(std::string_view path, int64_t& size, uint64_t& writeTime) {
    const FsEntryFacts facts = visitedFileFacts(path);
    if (!facts.regular) return false;
    size = facts.size;
    writeTime = facts.writeTime;
    t_visited.path = nullptr;
    return true;
}

int walkFolder(std::string_view folder, const std::vector<LStr>& masks, bool withSubfolders,
               const FileVisitor& visit) {
    return FolderWalker(masks, withSubfolders).walk(folder, visit);
}
