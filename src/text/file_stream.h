// Unbuffered streams over operating-system files. LHandle reads and writes an
// open descriptor and owns it; LFile opens a path in one of three modes and
// owns a copy of the path. Failures of the system are reported as message
// 17000 with the name of the failing call; the operation then returns its
// neutral result (0 bytes, position -1).
#pragma once
#include <cstdint>
#include <string_view>

#include "base/lstr.h"
#include "platform/file_system.h"
#include "text/stream.h"

class LHandle : public LStream {
public:
    static constexpr int kClosed = -1;

    LHandle() = default;
    // Takes ownership of an open descriptor.
    explicit LHandle(int descriptor) : handle_(descriptor) {}
    ~LHandle() override;

    // On a closed handle read, write, seek and tell return 0, the others do nothing.
    int32_t read(void* buffer, int32_t count) override;
    int32_t write(const void* buffer, int32_t count) override;
    int64_t seek(int64_t position) override;
    int64_t tell() const override;
    // Writes the system's buffers of the file to the disk.
    void flush() override;
    bool isOpen() const override { return handle_ != kClosed; }
    void close() override;
    // Seeks to position first when it is 0 or more, then ends the file there.
    void truncate(int64_t position = -1) override;
    // "file descriptor"
    const char* name() const override;

    int handle() const { return handle_; }

protected:
    int handle_ = kClosed;
};

class LFile : public LHandle {
public:
    // Ctrl-C handling around an open written file.
    enum GuardState : int { kGuardOff = 0, kGuardArmed = 1, kGuardActive = 2 };

    LFile() = default;
    // Opens at once; see open().
    LFile(std::string_view path, char mode, bool report = true, bool guardInterrupt = false);
    ~LFile() override;

    // Opens path (closing the file held before). Modes: 'r' reads an existing
    // file; 'w' creates or truncates it for writing; 'a' opens or creates it
    // for writing and stands at its end. Any other mode is a fault of the
    // program (internal error 1130). With guardInterrupt, a 'w' or 'a' file
    // keeps Ctrl-C ignored until it is closed. With report, a file that does
    // not open is reported as message 17000 naming the path. Returns whether
    // the file is open.
    bool open(std::string_view path, char mode, bool report = true, bool guardInterrupt = false);
    // Closes the file and gives Ctrl-C its former handling back when guarded.
    void close() override;
    // The path.
    const char* name() const override { return path_.c_str(); }

    const LStr& path() const { return path_; }
    char mode() const { return mode_; }
    // The size and write time of a file opened to read, as the open saw them.
    const FsEntryFacts& opened() const { return opened_; }
    GuardState guardState() const { return guard_; }

private:
    void endGuard();

    char mode_ = 'r';
    FsEntryFacts opened_;
    GuardState guard_ = kGuardOff;
    LStr path_;
};
