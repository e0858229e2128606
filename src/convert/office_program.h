// LibreOffice, run headless, converts the documents our own filters cannot
// read. One private profile serves the whole process: it is made on first use
// and removed at exit, so the user's own LibreOffice settings and running
// instances are never touched. Conversions run one at a time, each into a
// scratch folder that goes away with it, each within a time limit.
#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "convert/document_chunks.h"

class ScratchFolder;

constexpr int kOfficeTimeLimitMs = 120 * 1000;

class OfficeProgram {
public:
    // program: a path, or a name looked up on PATH.
    OfficeProgram(std::string_view program, int timeLimitMs);
    ~OfficeProgram();
    OfficeProgram(const OfficeProgram&) = delete;
    OfficeProgram& operator=(const OfficeProgram&) = delete;

    // Whether the program was found.
    bool available() const { return !program_.empty(); }

    // Has the program convert document (Shift-JIS path) to target, a
    // LibreOffice "--convert-to" argument whose part before ":" is the new
    // extension, and hands the produced file's Shift-JIS path to read. A run
    // that times out, crashes or produces nothing fails with its reason; a
    // stopped one fails with an empty reason.
    ExtractOutcome convert(std::string_view document, std::string_view target,
                           const std::function<ExtractOutcome(std::string_view produced)>& read);

private:
    bool makeProfile();

    std::string program_;
    int timeLimitMs_;
    std::mutex mutex_;
    std::unique_ptr<ScratchFolder> profile_;
};

// soffice from PATH (looked up once) with kOfficeTimeLimitMs.
OfficeProgram& officeProgram();
