// The deletion worker's walk and its per-file step.
#include "index/wk_del.h"

#include <memory>

#include "index/index_marker.h"
#include "index/ix_cache.h"
#include "index/ix_file.h"
#include "index/ix_messages.h"
#include "index/ix_paths.h"
#include "index/ix_status.h"
#include "platform/file_system.h"
#include "support/dir_walker.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "support/stop_flag.h"
#include "text/io_file.h"

namespace {

bool endsWithNoCase(std::string_view text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    text = text.substr(text.size() - tail.size());
    for (size_t i = 0; i < tail.size(); ++i) {
        char a = text[i], b = tail[i];
        if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

}  // namespace

TWkDel::TWkDel(bool deleteAllFiles, std::string_view indexFolder) : deleteAll(deleteAllFiles) {
    if (indexFolder.empty()) return;  // no index folder: nothing to clean
    ixDir = absolutePath(indexFolder);
    appendSeparator(ixDir);
}

TWkDel::~TWkDel() {
    stop(-1);
    if (onDone_) onDone_();
}

bool TWkDel::stopping() const {
    return ::stopRequested() || LThread::stopRequested();
}

void TWkDel::run() {
    debugLog("wkDel started (TH# %Xh)\n", unsigned(threadNumber()));
    for (int part : {1, 3, 4}) ixStatus(part, "");
    ixStatus(2, ixtext::kDeleting);

    if (hasIndexMarker(ixDir)) {
        if (walk(ixDir, "*.txt") == 0) walk(ixDir, "*.qfd");
    } else if (pathKind(ixDir) == kPathFolder) {
        ixErrorLine(ixtext::kNotOurFolder, ixDir.c_str());
    }

    for (int part = 1; part <= 4; ++part) ixStatus(part, "");
    if (stopping()) ixErrorLine("%s", ixtext::kStopped);
    printSummary();
    debugLog("wkDel end\n");
}

int TWkDel::walk(std::string_view folder, std::string_view mask) {
    return walkFolder(folder, {LStr(mask)}, true, [this](const LStr& file) {
        // Files outside the mirror roots are not the program's.
        if (!ixUnderMirrorRoot(ixDir, file)) return stopping() ? 1 : 0;
        return deleteStep(file);
    });
}

int TWkDel::deleteStep(const LStr& file) {
    if (stopping()) return 1;
    ++filesExamined;
    if (!deleteAll) {
        LStr source = sourceOf(file);
        if (!source.empty()) {
            if (endsWithNoCase(file, ".qfd")) {
                if (pathKind(source) == kPathFolder) {
                    prune(file, source);
                    showCounters();
                    return stopping() ? 1 : 0;
                }
            } else if (sourceIsCurrent(file, source)) {
                showCounters();
                return stopping() ? 1 : 0;
            }
        }
    }
    deleteFile(file);
    showCounters();
    return stopping() ? 1 : 0;
}

LStr TWkDel::sourceOf(const LStr& file) {
    LIoFile in;
    if (in.open(file, 'r', false)) {
        // A damaged folder line leaves no source: the file goes.
        IxFileHeader header = readIndexHeader(in);
        if (header.state != IxFileHeader::kNotIndex) return std::move(header.folder);
    }
    LStr source;
    if (endsWithNoCase(file, ".txt")) {
        source = ixSourcePath(ixDir, file.view().substr(0, file.length() - 4));
        debugLog("udDir=[%s]\n", source.c_str());
        return source;
    }
    ixErrorLine(ixtext::kIllegalHeader, file.c_str());
    return {};
}

// A converted text stays while its source exists and is not newer.
bool TWkDel::sourceIsCurrent(const LStr& file, const LStr& source) {
    debugLog("del?: [%s] -> [%s]\n", file.c_str(), source.c_str());
    if (pathKind(source) != kPathFile) return false;
    return compareFileTimes(fileWriteTime(source), fileWriteTime(file)) <= 0;
}

// Removes the entries whose file is gone or newer than the index file. The
// cache writes the file back when it goes out of scope.
void TWkDel::prune(const LStr& file, const LStr& sourceFolder) {
    const uint64_t indexTime = fileWriteTime(file);
    LStr probe(sourceFolder);
    probe.append("/.");
    TIxCache cache(ixDir);
    loadIndexFile(cache, probe, file);
    LStr folder(sourceFolder);
    appendSeparator(folder);
    int32_t removed = 0;
    for (const LStr& name : cache.names()) {
        if (stopping()) break;
        LStr source(folder);
        source.append(name.view());
        if (pathKind(source) == kPathFile &&
            compareFileTimes(fileWriteTime(source), indexTime) <= 0)
            continue;
        cache.remove(name);
        cache.dirty = true;
        ++removed;
    }
    entriesDeleted += removed;
    if (removed > 0) ++filesChanged;
}

void TWkDel::deleteFile(const LStr& file) {
    if (!removeFile(file, false)) {
        report(kMsgSearchNote, ixtext::kCannotDelete, file.c_str());
        return;
    }
    removeEmptyDirsUpward(file, ixDir);
    ++filesDeleted;
}

void TWkDel::showCounters() {
    ixStatusF(1, ixtext::kDeleteCounts, entriesDeleted, filesDeleted);
    ixStatusF(4, "%d", filesExamined);
}

void TWkDel::printSummary() {
    if (filesDeleted > 0 || filesChanged == 0)
        report(kMsgPlain, ixtext::kFilesDeleted, filesDeleted, filesExamined);
    if (filesChanged > 0)
        report(kMsgPlain, ixtext::kFilesChanged, filesChanged, filesExamined, entriesDeleted);
}

bool startDeletionWorker(bool deleteAll, std::string_view indexFolder,
                         std::function<void()> onDone) {
    stopFlag().store(0);
    auto worker = std::make_unique<TWkDel>(deleteAll, indexFolder);
    worker->setOnDone(std::move(onDone));
    return LThread::startDetached(std::move(worker));
}
