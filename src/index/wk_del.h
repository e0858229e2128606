// TWkDel: the worker that cleans the index folder. It walks the folder for
// converted texts ("*.txt") and index files ("*.qfd", with their "*.qfr"
// rows files) and deletes those whose source is gone or newer, prunes stale entries from the other
// index files, or, with deleteAll, deletes them all; temporary files that an interrupted write left
// go too. It acts only in a folder that carries the program's marker file, only on files under the
// mirror roots, and never through a symbolic link (see own_files.h).
#pragma once
#include <cstdint>
#include <functional>
#include <string_view>

#include "base/lstr.h"
#include "index/own_files.h"
#include "support/thread.h"

class TWkDel : public LThread {
public:
    TWkDel(bool deleteAll, std::string_view indexFolder);
    // Stops the walk, then calls the done callback.
    ~TWkDel() override;

    // The walk. Runs on the worker thread, or directly on the caller's for a
    // synchronous clean-up (the command-line front end).
    void run() override;
    // Called when the worker object is destroyed (the GUI updates itself).
    void setOnDone(std::function<void()> onDone) { onDone_ = std::move(onDone); }

    bool deleteAll;
    LStr ixDir;  // the index folder, absolute and ending in "/"
    int32_t filesExamined = 0;
    int32_t filesDeleted = 0;
    int32_t filesChanged = 0;  // index files rewritten
    int32_t entriesDeleted = 0;

private:
    bool stopping() const;
    OwnFileStep textStep(const OwnFile& file);
    OwnFileStep indexFileStep(const OwnFile& file);
    OwnFileStep rowsFileStep(const OwnFile& file);
    bool sourceIsCurrent(const LStr& file, const LStr& source);
    void prune(const LStr& file, const LStr& sourceFolder);
    OwnFileStep deleteFile(const OwnFile& file);
    void showCounters();
    void printSummary();

    std::function<void()> onDone_;
};

// Clears the stop flag and starts a TWkDel that owns itself and is destroyed
// when its walk ends (onDone runs then). False when the thread did not start.
bool startDeletionWorker(bool deleteAll, std::string_view indexFolder,
                         std::function<void()> onDone = {});
