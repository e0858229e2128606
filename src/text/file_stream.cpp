// LHandle and LFile over the descriptor calls of the platform layer; every
// failure is reported here with the name of the call that failed.
#include "text/file_stream.h"

#include "platform/file_handle.h"
#include "platform/system_error.h"
#include "support/message_service.h"

namespace {

// Reports message 17000 for a failed call with the failure's own errno, so
// nothing run in between can change the text that gets appended.
void reportFailure(const char* call, const FileResult& r) {
    setLastSystemError(r.error);
    report(kMsgSystem, "%s", call);
}

}  // namespace

LHandle::~LHandle() {
    LHandle::close();
}

int32_t LHandle::read(void* buffer, int32_t count) {
    if (!isOpen() || count < 1) return 0;
    FileResult r = readDescriptor(handle_, buffer, count);
    if (r.ok()) return int32_t(r.value);
    reportFailure("ReadFile()", r);
    return 0;
}

int32_t LHandle::write(const void* buffer, int32_t count) {
    if (!isOpen() || count < 1) return 0;
    FileResult r = writeDescriptor(handle_, buffer, count);
    if (r.ok()) return int32_t(r.value);
    reportFailure("WriteFile()", r);
    return 0;
}

int64_t LHandle::seek(int64_t position) {
    if (!isOpen()) return 0;
    FileResult r = seekDescriptor(handle_, position);
    if (r.ok()) return r.value;
    reportFailure("SetFilePointer()", r);
    return -1;
}

int64_t LHandle::tell() const {
    if (!isOpen()) return 0;
    FileResult r = descriptorPosition(handle_);
    if (r.ok()) return r.value;
    reportFailure("SetFilePointer()", r);
    return -1;
}

void LHandle::flush() {
    if (isOpen()) syncDescriptor(handle_);
}

void LHandle::close() {
    if (!isOpen()) return;
    FileResult r = closeDescriptor(handle_);
    handle_ = kClosed;
    if (!r.ok()) reportFailure("CloseHandle()", r);
}

void LHandle::truncate(int64_t position) {
    if (!isOpen()) return;
    if (position >= 0) seek(position);
    FileResult r = truncateDescriptorHere(handle_);
    if (!r.ok()) reportFailure("SetEndOfFile()", r);
}

const char* LHandle::name() const {
    return "file descriptor";
}

LFile::LFile(std::string_view path, char mode, bool report, bool guardInterrupt) {
    open(path, mode, report, guardInterrupt);
}

LFile::~LFile() {
    LFile::close();
}

bool LFile::open(std::string_view path, char mode, bool reportOnFailure, bool guardInterrupt) {
    close();
    if (mode != 'r' && mode != 'w' && mode != 'a') internalError(1130);
    path_ = path;
    mode_ = mode;
    guard_ = guardInterrupt ? kGuardArmed : kGuardOff;
    // The guard is taken before the file is created so that no interrupt can
    // fall between truncating it and writing it.
    if (guard_ == kGuardArmed && mode != 'r') {
        holdInterruptGuard();
        guard_ = kGuardActive;
    }
    FileResult r = openDescriptor(path_.view(), mode, &opened_);
    if (r.ok()) {
        handle_ = int(r.value);
        return true;
    }
    endGuard();
    if (reportOnFailure) {
        setLastSystemError(r.error);
        report(kMsgSystem,
               jaEn("%s \x82\xf0\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1",  // を開けません
                    "cannot open %s"),
               path_.c_str());
    }
    return false;
}

void LFile::close() {
    LHandle::close();
    endGuard();
}

void LFile::endGuard() {
    if (guard_ != kGuardActive) return;
    releaseInterruptGuard();
    guard_ = kGuardArmed;
}
