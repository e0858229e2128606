// LIoFile: opening, reopening and truncating a buffered file.
#include "text/io_file.h"

LIoFile::LIoFile() : LSrm(&ahead_) {}

LIoFile::LIoFile(std::string_view path, char mode, bool report) : LSrm(&ahead_) {
    open(path, mode, report);
}

LIoFile::~LIoFile() {
    close();
    releaseStream();
}

bool LIoFile::open(std::string_view path, char mode, bool report) {
    close();
    const bool opened = file_.open(path, mode, report, true);
    reset();
    if (opened) ahead_.sourceOpened();
    if (opened && mode == 'a') seek(-1);
    return opened;
}

void LIoFile::truncate(int64_t position) {
    int64_t here = tell();
    int32_t lineHere = line();
    if (position < 0) position = here;
    // Pending bytes go out first, or they would land after the new end.
    flushBuffer(false);
    ahead_.truncate(position);
    restartAt(ahead_.tell(), position == here ? lineHere : 0);
}
