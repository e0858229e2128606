// Common folder prefix of a search.
#include "search/display_base.h"

#include "search/search_request.h"
#include "text/sjis.h"

namespace {

// Length of the common prefix of a and b, never splitting a double-byte
// character of a.
size_t commonLength(std::string_view a, std::string_view b) {
    size_t i = 0;
    while (i < a.size()) {
        int n = charLength(a, i);
        if (i + n > b.size() || a.substr(i, n) != b.substr(i, n)) break;
        i += n;
    }
    return i;
}

// Whether the first length bytes (common to all folders) end a path
// component of every folder: a separator stands before, or each folder ends
// there or goes on with a separator. ("/a/x" is no folder of "/a/xyz".)
bool endsComponent(const std::vector<LStr>& folders, size_t length) {
    if (folders.front()[int32_t(length) - 1] == '/') return true;
    for (const LStr& folder : folders) {
        std::string_view f = folder.view();
        if (f.size() > length && f[length] != '/') return false;
    }
    return true;
}

}  // namespace

LStr commonFolderBase(const std::vector<LStr>& folders) {
    if (folders.empty()) return LStr();
    std::string_view first = folders.front().view();
    size_t length = first.size();
    for (const LStr& folder : folders)
        length = std::min(length, commonLength(first, folder.view()));
    while (length > 0 && !endsComponent(folders, length))
        length -= isTrailAt(first, length - 1) ? 2 : 1;
    return LStr(first.substr(0, length));
}

std::string_view displayPath(std::string_view path, std::string_view base) {
    if (!base.empty() && path.starts_with(base)) path.remove_prefix(base.size());
    return path;
}

LStr displayBaseOf(const SearchRequest& request) {
    if (request.alwaysFullPath || request.folders.empty()) return LStr();
    LStr base = commonFolderBase(request.folders);
    if (!base.empty() && base.back() != '/') base.append('/');
    return base;
}
