// getcwd with a buffer that grows until the whole path fits.
#include "platform/working_folder.h"

#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

#include "platform/path_encoding.h"

bool fsWorkingFolder(LStr& out) {
    std::vector<char> buffer(256);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return false;
        buffer.resize(buffer.size() * 2);
    }
    std::string_view path(buffer.data());
    // Linux marks a folder outside the process's root this way.
    if (path.empty() || path[0] != '/') return false;
    fromSystemPath(path, out);
    return true;
}
