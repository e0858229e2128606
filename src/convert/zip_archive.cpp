// libzip behind ZipArchive: entries are located by exact name and streamed
// through a fixed buffer, never inflated whole into memory.
#include "convert/zip_archive.h"

#include <zip.h>

#include <vector>

std::unique_ptr<ZipArchive> ZipArchive::open(const std::string& systemPath, ZipOpen& status) {
    int error = 0;
    zip_t* archive = zip_open(systemPath.c_str(), ZIP_RDONLY, &error);
    if (!archive) {
        switch (error) {
            case ZIP_ER_NOZIP:
                status = ZipOpen::NotZip;
                break;
            case ZIP_ER_OPEN:
            case ZIP_ER_NOENT:
            case ZIP_ER_READ:
                status = ZipOpen::Unreadable;
                break;
            default:
                status = ZipOpen::Damaged;
                break;
        }
        return nullptr;
    }
    status = ZipOpen::Ok;
    return std::unique_ptr<ZipArchive>(new ZipArchive(archive));
}

ZipArchive::~ZipArchive() {
    zip_discard(archive_);
}

bool ZipArchive::contains(const std::string& name) const {
    return zip_name_locate(archive_, name.c_str(), 0) >= 0;
}

namespace {
struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

ZipRead openFailure(zip_t* archive) {
    int code = zip_error_code_zip(zip_get_error(archive));
    bool password = code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD;
    return password ? ZipRead::Encrypted : ZipRead::Damaged;
}
}  // namespace

ZipRead ZipArchive::read(const std::string& name, uint64_t& budget,
                         const std::function<bool(std::string_view)>& consume) {
    zip_int64_t index = zip_name_locate(archive_, name.c_str(), 0);
    if (index < 0) return ZipRead::Missing;
    zip_stat_t st;
    if (zip_stat_index(archive_, index, 0, &st) != 0) return ZipRead::Damaged;
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        return ZipRead::Encrypted;
    if ((st.valid & ZIP_STAT_SIZE) && st.size > budget) return ZipRead::TooLarge;
    std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive_, index, 0));
    if (!file) return openFailure(archive_);
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        zip_int64_t n = zip_fread(file.get(), buffer.data(), buffer.size());
        if (n < 0) return ZipRead::Damaged;
        if (n == 0) return ZipRead::Ok;
        if (static_cast<uint64_t>(n) > budget) return ZipRead::TooLarge;
        budget -= static_cast<uint64_t>(n);
        if (!consume(std::string_view(buffer.data(), static_cast<size_t>(n))))
            return ZipRead::Stopped;
    }
}
