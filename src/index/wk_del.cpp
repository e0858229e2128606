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
#include "support/message_service.h"
#include "support/path_utils.h"
#include "support/stop_flag.h"
#include "text/io_file.h"

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
        if (walkOwnFiles(ixDir, [this](const OwnFile& file) { return textStep(file); }))
            walkOwnFiles(ixDir, [this](const OwnFile& file) { return indexFileStep(file); });
    } else if (pathKind(ixDir) == kPathFolder) {
        ixErrorLine(ixtext::kNotOurFolder, ixDir.c_str());
    }

    for (int part = 1; part <= 4; ++part) ixStatus(part, "");
    if (stopping()) ixErrorLine("%s", ixtext::kStopped);
    printSummary();
    debugLog("wkDel end\n");
}

// Converted texts, and the temporary files of writes that never finished.
OwnFileStep TWkDel::textStep(const OwnFile& file) {
    if (stopping()) return OwnFileStep::kStop;
    const std::string_view name = file.item.name.view();
    const bool temporary = isOwnTemporaryName(name);
    // A fresh temporary file may be a running search's.
    if (temporary && !deleteAll && !isStaleTemporary(file.item.writeTime))
        return OwnFileStep::kKept;
    if (!temporary && !isConvertedTextName(name)) return OwnFileStep::kKept;
    ++filesExamined;
    OwnFileStep step = OwnFileStep::kKept;
    if (temporary || deleteAll) {
        step = deleteFile(file);
    } else {
        const std::string_view text = file.path.view();
        LStr source = ixSourcePath(ixDir, text.substr(0, text.size() - 4));
        debugLog("udDir=[%s]\n", source.c_str());
        if (!sourceIsCurrent(file.path, source)) step = deleteFile(file);
    }
    showCounters();
    return step;
}

// An index file goes when its folder is gone (or with deleteAll); otherwise
// its stale entries do. A file that is no index file is not the program's.
OwnFileStep TWkDel::indexFileStep(const OwnFile& file) {
    if (stopping()) return OwnFileStep::kStop;
    if (isRowsFileName(file.item.name.view())) return rowsFileStep(file);
    if (!isIndexFileName(file.item.name.view())) return OwnFileStep::kKept;
    ++filesExamined;
    IxFileHeader header;
    LIoFile in;
    if (in.open(file.path, 'r', false)) header = readIndexHeader(in);
    in.close();
    OwnFileStep step = OwnFileStep::kKept;
    if (header.state == IxFileHeader::kNotIndex)
        ixErrorLine(ixtext::kIllegalHeader, file.path.c_str());
    else if (!deleteAll && pathKind(header.folder) == kPathFolder)
        prune(file.path, header.folder);
    else
        step = deleteFile(file);  // a damaged folder line leaves no source
    showCounters();
    return step;
}

// A rows file goes with its index file (met just before it in the walk);
// it is not counted among the files examined or deleted.
OwnFileStep TWkDel::rowsFileStep(const OwnFile& file) {
    LStr indexFile(file.path);
    indexFile.truncate(indexFile.length() - 4);
    indexFile.append(".qfd");
    if (!deleteAll && pathKind(indexFile) == kPathFile) return OwnFileStep::kKept;
    return file.folder.unlinkFile(file.item.name.view()) ? OwnFileStep::kDeleted
                                                         : OwnFileStep::kKept;
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

OwnFileStep TWkDel::deleteFile(const OwnFile& file) {
    if (!file.folder.unlinkFile(file.item.name.view())) {
        report(kMsgSearchNote, ixtext::kCannotDelete, file.path.c_str());
        return OwnFileStep::kKept;
    }
    ++filesDeleted;
    return OwnFileStep::kDeleted;
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
