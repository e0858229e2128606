#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/path_encoding.h"

std::shared_ptr<MappedFile> MappedFile::open(std::string_view sjisPath) {
    const int fd = ::open(toSystemPath(sjisPath).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st {};
    void* at = MAP_FAILED;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        at = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);  // the mapping stays without the descriptor
    if (at == MAP_FAILED) return nullptr;
    return std::make_shared<MappedFile>(static_cast<const char*>(at), int64_t(st.st_size));
}

MappedFile::~MappedFile() {
    ::munmap(const_cast<char*>(data_), size_t(size_));
}
