// Mirror paths under the index folder and their reverse.
#include "index/ix_paths.h"

#include <vector>

#include "support/path_utils.h"

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool endsWithNoCase(std::string_view text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    text = text.substr(text.size() - tail.size());
    for (size_t i = 0; i < tail.size(); ++i)
        if (asciiLower(text[i]) != asciiLower(tail[i])) return false;
    return true;
}

// Splits at "/" runs. A "/" byte is never the trail byte of a Shift-JIS
// character, so splitting bytewise is safe.
std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t i = 0;
    while (i < path.size()) {
        size_t end = path.find('/', i);
        if (end == std::string_view::npos) end = path.size();
        if (end > i) parts.push_back(path.substr(i, end - i));
        i = end + 1;
    }
    return parts;
}

}  // namespace

LStr ixSourcePath(std::string_view indexFolder, std::string_view path) {
    LStr folder = ixFolderPrefix(indexFolder);
    if (!folder.empty() && path.starts_with(folder.view())) path.remove_prefix(folder.size());
    LStr s(path);
    if (s.length() < 2) return s;
    if (s[1] == '\\') return s.insert(1, ":");
    if (s[1] != '_') return s;
    switch (s[0]) {
        case 'r':
            s.erase(0, 2);
            if (s.length() >= 2) s[1] = ':';
            break;
        case 'u':
            s[0] = s[1] = '\\';
            break;
        case 'x':
            s.erase(0, 2);
            break;
        default:
            break;
    }
    return s;
}

LStr ixIndexFileOf(std::string_view indexFolder, std::string_view sourceFile) {
    LStr folder = ixFolderPrefix(indexFolder);
    LStr sourceFolder = dirPart(absolutePath(sourceFile), false);
    if (endsWithNoCase(sourceFile, "HONMON.txt") && !folder.empty() &&
        sourceFolder.view().starts_with(folder.view()))
        return sourceFolder.append("/HONMON.qfd");
    return ixMirrorPath(folder, sourceFolder).append(".qfd");
}

bool ixUnderMirrorRoot(std::string_view indexFolder, std::string_view path) {
    LStr folder = ixFolderPrefix(indexFolder);
    if (folder.empty() || !path.starts_with(folder.view())) return false;
    std::vector<std::string_view> parts = components(path.substr(folder.size()));
    if (parts.empty()) return false;
    for (std::string_view part : parts)
        if (part == "..") return false;
    std::string_view root = parts.front();
    if (root.size() < 2) return false;
    if (root[1] == '_') return root[0] == 'x' || root[0] == 'u' || root[0] == 'r';
    return isAsciiLetter(root[0]) && root[1] == '\\';
}

LStr ixRowsFileOf(std::string_view indexFile) {
    LStr out(indexFile);
    if (endsWithNoCase(indexFile, ".qfd")) out.truncate(out.length() - 4);
    out.append(".qfr");
    return out;
}
