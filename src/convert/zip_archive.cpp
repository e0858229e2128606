// libzip behind ZipArchive: entries are located by exact name and streamed
// through a fixed buffer, never inflated whole into memory.
#include "convert/zip_archive.h"

#include <zip.h>

#include <vector>

#include "platform/loadable_module.h"

#ifndef QF_LIBZIP_SONAME
#define QF_LIBZIP_SONAME "libzip.so.4"
#endif

namespace {

// libzip is opened when the first archive is: loaded at every start, it and
// the crypto library behind it would cost each search about a millisecond.
struct ZipCalls {
    decltype(&zip_open) open;
    decltype(&zip_discard) discard;
    decltype(&zip_name_locate) nameLocate;
    decltype(&zip_stat_index) statIndex;
    decltype(&zip_fopen_index) fopenIndex;
    decltype(&zip_fread) fread;
    decltype(&zip_fclose) fclose;
    decltype(&zip_get_error) getError;
    decltype(&zip_error_code_zip) errorCodeZip;
};

bool bindZip(std::string_view so, ZipCalls& z) {
    return bindLibrarySymbol(so, "zip_open", z.open) &&
           bindLibrarySymbol(so, "zip_discard", z.discard) &&
           bindLibrarySymbol(so, "zip_name_locate", z.nameLocate) &&
           bindLibrarySymbol(so, "zip_stat_index", z.statIndex) &&
           bindLibrarySymbol(so, "zip_fopen_index", z.fopenIndex) &&
           bindLibrarySymbol(so, "zip_fread", z.fread) &&
           bindLibrarySymbol(so, "zip_fclose", z.fclose) &&
           bindLibrarySymbol(so, "zip_get_error", z.getError) &&
           bindLibrarySymbol(so, "zip_error_code_zip", z.errorCodeZip);
}

const ZipCalls* zipCalls() {
    return libraryCalls<ZipCalls>(QF_LIBZIP_SONAME, bindZip);
}

const ZipCalls& zipLib() {
    return *zipCalls();  // an archive exists only once the library is loaded
}

}  // namespace

std::unique_ptr<ZipArchive> ZipArchive::open(const std::string& systemPath, ZipOpen& status) {
    if (!zipCalls()) {
        status = ZipOpen::NoLibrary;
        return nullptr;
    }
    int error = 0;
    zip_t* archive = zipLib().open(systemPath.c_str(), ZIP_RDONLY, &error);
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
    zipLib().discard(archive_);
}

bool ZipArchive::contains(const std::string& name) const {
    return zipLib().nameLocate(archive_, name.c_str(), 0) >= 0;
}

namespace {
struct FileCloser {
    void operator()(zip_file_t* file) const { zipLib().fclose(file); }
};

ZipRead openFailure(zip_t* archive) {
    int code = zipLib().errorCodeZip(zipLib().getError(archive));
    bool password = code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD;
    return password ? ZipRead::Encrypted : ZipRead::Damaged;
}
}  // namespace

ZipRead ZipArchive::read(const std::string& name, uint64_t& budget,
                         const std::function<bool(std::string_view)>& consume) {
    zip_int64_t index = zipLib().nameLocate(archive_, name.c_str(), 0);
    if (index < 0) return ZipRead::Missing;
    zip_stat_t st;
    if (zipLib().statIndex(archive_, index, 0, &st) != 0) return ZipRead::Damaged;
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        return ZipRead::Encrypted;
    if ((st.valid & ZIP_STAT_SIZE) && st.size > budget) return ZipRead::TooLarge;
    std::unique_ptr<zip_file_t, FileCloser> file(zipLib().fopenIndex(archive_, index, 0));
    if (!file) return openFailure(archive_);
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        zip_int64_t n = zipLib().fread(file.get(), buffer.data(), buffer.size());
        if (n < 0) return ZipRead::Damaged;
        if (n == 0) return ZipRead::Ok;
        if (static_cast<uint64_t>(n) > budget) return ZipRead::TooLarge;
        budget -= static_cast<uint64_t>(n);
        if (!consume(std::string_view(buffer.data(), static_cast<size_t>(n))))
            return ZipRead::Stopped;
    }
}
