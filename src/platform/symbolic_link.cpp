// POSIX readlink, grown until the whole target fits.
#include "platform/symbolic_link.h"

#include <unistd.h>

#include <string>
#include <vector>

#include "platform/path_encoding.h"

bool fsReadLink(std::string_view path, LStr& target) {
    const std::string sys = toSystemPath(path);
    std::vector<char> buf(256);
    for (;;) {
        const ssize_t n = ::readlink(sys.c_str(), buf.data(), buf.size());
        if (n < 0) return false;
        if (size_t(n) < buf.size()) {
            fromSystemPath(std::string_view(buf.data(), size_t(n)), target);
            return true;
        }
        buf.resize(buf.size() * 2);  // the text may have been cut
    }
}
