#include "platform/scratch_folder.h"

#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/environment.h"
#include "platform/path_encoding.h"
#include "platform/working_folder.h"

namespace {

int removeEntry(const char* path, const struct stat*, int kind, struct FTW*) {
    const int rc = kind == FTW_DP ? ::rmdir(path) : ::unlink(path);
    return rc == 0 || errno == ENOENT ? 0 : -1;
}

}  // namespace

ScratchFolder::ScratchFolder(std::string_view prefix) {
    std::string base = environmentVariable("TMPDIR").value_or("");
    if (base.empty()) base = "/tmp";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    std::string pattern = base + "/" + std::string(prefix) + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data())) path_ = name.data();
}

ScratchFolder::~ScratchFolder() {
    if (made()) removeTree(path_);
}

bool ScratchFolder::link(std::string_view name, std::string_view target) const {
    if (!made()) return false;
    std::string absolute = toSystemPath(target);
    if (!absolute.starts_with('/')) {
        LStr working;
        if (!fsWorkingFolder(working)) return false;
        absolute = toSystemPath(working.view()) + "/" + absolute;
    }
    const std::string at = path_ + "/" + std::string(name);
    return ::symlink(absolute.c_str(), at.c_str()) == 0;
}

bool removeTree(const std::string& systemPath) {
    struct stat st;
    if (::lstat(systemPath.c_str(), &st) != 0) return errno == ENOENT;
    return ::nftw(systemPath.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS) == 0;
}
