// A fresh temporary folder for a test: made on construction, removed with
// everything in it on destruction. Paths are plain file-system (UTF-8)
// strings; ASCII names are the same in the program's Shift-JIS.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, without a trailing "/".
    const std::string& path() const { return path_; }
    // The folder joined with a relative path.
    std::string path(std::string_view relativePath) const;
    // Writes bytes to a file (creating the folders on the way, replacing an
    // existing file); returns its full path.
    std::string write(std::string_view relativePath, std::string_view bytes) const;
    // The bytes of a file; empty when it cannot be read.
    std::string read(std::string_view relativePath) const;
    bool exists(std::string_view relativePath) const;

private:
    std::string path_;
};

// Sets a file's write time, in seconds and nanoseconds since 1970.
void setWriteTime(const std::string& path, int64_t seconds, int64_t nanoseconds = 0);
