// A whole file mapped read-only into memory: a search touches only the pages
// it reads, and the system's file cache serves them without a copy.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

class MappedFile {
public:
    // The regular file at sjisPath mapped whole; null when it does not open,
    // is empty or cannot be mapped.
    static std::shared_ptr<MappedFile> open(std::string_view sjisPath);
    MappedFile(const char* data, int64_t size, uint64_t writeTime = 0)
        : data_(data), size_(size), writeTime_(writeTime) {}
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const char* data() const { return data_; }
    int64_t size() const { return size_; }
    // The file's write time when it was mapped (see file_system.h).
    uint64_t writeTime() const { return writeTime_; }

private:
    const char* data_;
    int64_t size_;
    uint64_t writeTime_;
};
