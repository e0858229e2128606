// Helpers of the search end-to-end tests: Shift-JIS text from UTF-8, the
// exact bytes of the lines a search writes, and a qf --raw run.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "common/qf_runner.h"
#include "common/system_charset.h"
#include "common/temp_dir.h"

namespace e2e {

inline std::string repeated(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

inline std::string marker(int font) {
    return "\x01" + std::to_string(font) + " ";
}
inline std::string hit(std::string_view text) {
    return marker(3) + std::string(text) + marker(0);
}

inline std::string folderLine(std::string_view folder) {
    return marker(1) + sj("検索フォルダ: ") + std::string(folder) + "\r\n";
}
inline std::string stringLine(std::string_view sjisString) {
    return marker(1) + sj("検索文字列:「") + std::string(sjisString) + sj("」") + "\r\n";
}
// A result line; body is the record with its markers and line end.
inline std::string resultLine(std::string_view position, std::string_view body,
                              std::string_view separator = ": ") {
    return marker(1) + std::string(position) + std::string(separator) + marker(2) +
           std::string(body) + marker(0);
}
inline std::string messageLine(std::string_view sjisText) {
    return marker(6) + std::string(sjisText) + marker(0) + "\r\n";
}
inline std::string summary(int hits, int filesWithHits, int filesSearched,
                           std::string_view separator = "") {
    return std::string(separator) + sj("発見数 ") + std::to_string(hits) +
           sj(" (ヒット ファイル数 ") + std::to_string(filesWithHits) + "/" +
           std::to_string(filesSearched) + ")\r\n";
}

// The cache folder of the qf runs: no index file lands in the user's cache.
inline const TempDir& cacheHome() {
    static TempDir home;
    return home;
}

// qf --raw --no-config with the arguments, then the folder when one is given;
// cache is its cache folder.
inline QfResult search(std::vector<std::string> args, const std::string& folder = {},
                       const TempDir& cache = cacheHome()) {
    args.insert(args.begin(), {"--raw", "--no-config", "--quiet"});
    if (!folder.empty()) args.push_back(folder);
    return runQf(args, {"XDG_CACHE_HOME=" + cache.path()});
}
// The headings, the given result lines and the summary line.
inline std::string page(std::string_view folder, std::string_view sjisString,
                        std::string_view lines, std::string_view total) {
    return folderLine(folder) + stringLine(sjisString) + std::string(lines) + std::string(total);
}

}  // namespace e2e
