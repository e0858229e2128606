// Read-only access to the entries of a zip archive (libzip), by name. Every
// read draws on an inflate budget the caller shares across one document, so a
// small archive cannot expand into gigabytes: the declared size is checked
// before reading and the bytes are counted while reading, as headers can lie.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct zip;

enum class ZipOpen {
    Ok,
    NotZip,      // no zip directory at all
    Damaged,     // a directory, but an unusable one
    Unreadable,  // the file cannot be opened
    NoLibrary,   // libzip is not installed
};

enum class ZipRead {
    Ok,
    Missing,    // no entry of that name
    Encrypted,  // the entry needs a password
    TooLarge,   // it would overdraw the inflate budget
    Damaged,    // inflate or checksum error
    Stopped,    // the consumer asked to stop
};

class ZipArchive {
public:
    // Opens the archive at a system (UTF-8) path; null with status set on failure.
    static std::unique_ptr<ZipArchive> open(const std::string& systemPath, ZipOpen& status);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool contains(const std::string& name) const;
    // Feeds the entry's bytes to consume piece by piece, taking them off
    // budget; consume returns false to stop.
    ZipRead read(const std::string& name, uint64_t& budget,
                 const std::function<bool(std::string_view)>& consume);

private:
    explicit ZipArchive(zip* archive) : archive_(archive) {}
    zip* archive_;
};
