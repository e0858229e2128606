#include "convert/office_program.h"

#include <cstdio>
#include <vector>

#include "platform/file_system.h"
#include "platform/path_encoding.h"
#include "platform/program_run.h"
#include "platform/scratch_folder.h"
#include "support/path_utils.h"
#include "support/stop_flag.h"

namespace {

// Shift-JIS reasons for the message line.
constexpr char kTimedOut[] =  // LibreOffice が %d 秒以内に終わりませんでした。
    "LibreOffice \x82\xAA %d \x95"
    "b\x88\xC8\x93\xE0\x82\xC9\x8FI\x82\xED\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82"
    "\xBD\x81"
    "B";
constexpr char kCrashed[] =  // LibreOffice が異常終了しました (シグナル %d)。
    "LibreOffice \x82\xAA\x88\xD9\x8F\xED\x8FI\x97\xB9\x82\xB5\x82\xDC\x82\xB5\x82\xBD "
    "(\x83V\x83O\x83i\x83\x8B %d)\x81"
    "B";
constexpr char kNotConverted[] =  // LibreOffice が文書を変換できませんでした。
    "LibreOffice \x82\xAA\x95\xB6\x8F\x91\x82\xF0\x95\xCF\x8A\xB7\x82\xC5\x82\xAB\x82\xDC\x82\xB9"
    "\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81"
    "B";
constexpr char kNotStarted[] =  // LibreOffice を起動できませんでした。
    "LibreOffice \x82\xF0\x8BN\x93\xAE\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82"
    "\xBD\x81"
    "B";

ExtractOutcome failed(const char* format, int value = 0) {
    char text[256];
    std::snprintf(text, sizeof text, format, value);
    ExtractOutcome outcome;
    outcome.reason = LStr(text);
    return outcome;
}

ExtractOutcome failure(const ProgramOutcome& run, int timeLimitMs) {
    switch (run.end) {
        case ProgramEnd::TimedOut:
            return failed(kTimedOut, timeLimitMs / 1000);
        case ProgramEnd::Crashed:
            return failed(kCrashed, run.code);
        case ProgramEnd::Stopped:
            return {};
        case ProgramEnd::NotStarted:
            return failed(kNotStarted);
        case ProgramEnd::Exited:
            break;
    }
    return failed(kNotConverted);
}

}  // namespace

OfficeProgram::OfficeProgram(std::string_view program, int timeLimitMs)
    : program_(findProgramOnPath(program)), timeLimitMs_(timeLimitMs) {}

OfficeProgram::~OfficeProgram() = default;

bool OfficeProgram::makeProfile() {
    if (!profile_) profile_ = std::make_unique<ScratchFolder>("quillfind-office-");
    return profile_->made();
}

ExtractOutcome OfficeProgram::convert(
    std::string_view document, std::string_view target,
    const std::function<ExtractOutcome(std::string_view produced)>& read) {
    std::lock_guard lock(mutex_);
    if (!available() || !makeProfile()) return failed(kNotStarted);
    ScratchFolder work("quillfind-convert-");
    const LStr extension = extPart(document);
    const std::string input =
        "document" + std::string(extension.empty() ? "" : ".") + std::string(extension.view());
    if (!work.link(input, document)) return failed(kNotConverted);
    const std::vector<std::string> argv = {
        program_,
        "--headless",
        "--norestore",
        "--nologo",
        "-env:UserInstallation=file://" + profile_->path(),
        "--convert-to",
        std::string(target),
        "--outdir",
        work.path() + "/out",
        work.path() + "/" + input,
    };
    const ProgramOutcome run = runProgram(argv, timeLimitMs_, [] { return stopRequested(); });
    const std::string produced =
        work.path() + "/out/document." + std::string(target.substr(0, target.find(':')));
    if (run.end != ProgramEnd::Exited) return failure(run, timeLimitMs_);
    const LStr producedPath = fromSystemPath(produced);
    if (fsPathKind(producedPath.view()) != kPathFile) return failed(kNotConverted);
    return read(producedPath.view());
}

OfficeProgram& officeProgram() {
    static OfficeProgram program("soffice", kOfficeTimeLimitMs);
    return program;
}
