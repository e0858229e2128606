// Files by descriptor: opening a Shift-JIS path in the program's three modes,
// and the read, write, position, sync, truncate and close calls under the
// stream layer. Nothing here reports; a failure comes back with its errno.
#pragma once
#include <cerrno>
#include <cstdint>
#include <string_view>

#include "platform/file_system.h"

// Result of a descriptor call: a descriptor, count or position in value, or
// the errno of the failure in error (value is then -1).
struct FileResult {
    int64_t value = -1;
    int error = 0;
    bool ok() const { return error == 0; }
};

// The error of opening something to read that is neither a file nor a
// folder (a FIFO, socket or device): ENODEV.
inline constexpr int kNotRegularFile = ENODEV;

// Opens sjisPath: 'r' reads an existing regular file; 'w' creates or
// truncates it for writing; 'a' opens or creates it for writing and stands
// at its end. New files get 0666 less the umask. To read, a folder fails
// with EISDIR and any other kind of file with kNotRegularFile, without
// waiting (a FIFO without a writer); any other mode fails with EINVAL. The
// descriptor is not inherited by child processes. facts, when given, gets
// the size and write time of a file opened to read as the open saw them
// (else nothing: regular stays false).
FileResult openDescriptor(std::string_view sjisPath, char mode, FsEntryFacts* facts = nullptr);
// Why opening sjisPath to read fails now (its errno), or 0 when it opens.
int readOpenError(std::string_view sjisPath);

// Reads up to count bytes; value 0 at the end of the file, and when a
// non-blocking descriptor has nothing to read now.
FileResult readDescriptor(int fd, void* buffer, int32_t count);
// Reads up to count bytes at offset without moving the position, so
// threads may share the descriptor; value 0 at the end of the file.
FileResult readDescriptorAt(int fd, void* buffer, int32_t count, int64_t offset);
// Reads exactly count bytes at offset (as readDescriptorAt); false when
// they are not all there or a read fails.
bool readDescriptorExactlyAt(int fd, void* buffer, int64_t count, int64_t offset);
// Writes up to count bytes; value is how many were written.
FileResult writeDescriptor(int fd, const void* buffer, int32_t count);
// Moves to position, or to the end when position is negative; value is the
// new position.
FileResult seekDescriptor(int fd, int64_t position);
// The current position.
FileResult descriptorPosition(int fd);
// Writes the system's buffers of a descriptor that is open for writing to
// the disk; a read-only descriptor has nothing to write and succeeds at once.
FileResult syncDescriptor(int fd);
// Ends the file at the current position.
FileResult truncateDescriptorHere(int fd);
FileResult closeDescriptor(int fd);

// While at least one guard is held, Ctrl-C (SIGINT) is held back, so that a
// file being written is not cut short. Releasing the last guard restores the
// handling that was in place when the first was taken and then delivers a
// SIGINT that came meanwhile (several count as one). Thread-safe.
void holdInterruptGuard();
void releaseInterruptGuard();
// Number of guards held (for tests).
int interruptGuardCount();
