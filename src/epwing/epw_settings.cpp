#include "epwing/epw_settings.h"

#include <mutex>

#include "pattern/parser.h"
#include "pattern/searcher.h"
#include "platform/file_system.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "support/source_position.h"
#include "text/escapes.h"
#include "text/file_stream.h"
#include "text/number_parse.h"
#include "text/sjis.h"

namespace {

constexpr char kFolderName[] = "EpwingSettings";
constexpr int64_t kMaxSettingsSize = 1 << 20;
constexpr int32_t kHeaderPeek = 1 << 16;
// "syntax error: <line>"; the facility puts the file and line in front.
constexpr char kSyntaxError[] = "\x8D\\\x95\xB6\x83G\x83\x89\x81[: %s";
constexpr char kDefaultSeparator[] = "\\n<-->\\n";
constexpr char kDefaultDisplay[] = "^=\\n${/}<-->\\n=";

// The lines of a small text file, without their line ends; nothing when it
// does not open.
bool readLines(std::string_view path, std::vector<LStr>& lines) {
    LFile file(path, 'r', false);
    if (!file.isOpen()) return false;
    LStr text;
    char buffer[4096];
    for (int32_t n; text.length() < kMaxSettingsSize && (n = file.read(buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    std::string_view rest = text.view();
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return true;
}

// Fields at TAB; empty fields between TABs count.
std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return fields;
        line.remove_prefix(tab + 1);
    }
}

bool skipped(std::string_view line) {
    return line.empty() || line[0] == ';';
}

bool is(std::string_view field, const char* key) {
    return compareIgnoreCase(field, key) == 0;
}

bool isSettingsFile(const FsDirEntry& entry) {
    return entry.kind == FsEntryKind::kFile && !entry.hidden &&
           compareIgnoreCase(extPart(entry.name.view()).view(), "txt") == 0;
}

template <typename Visit>
bool forEachSettingsFile(const std::vector<LStr>& folders, Visit visit) {
    for (const LStr& folder : folders) {
        FsDirReader reader(folder.view(), FsDirReader::kDetails);
        FsDirEntry entry;
        while (reader.isOpen() && reader.next(entry)) {
            if (!isSettingsFile(entry)) continue;
            LStr path = folder;
            appendSeparator(path);
            path.append(entry.name.view());
            if (visit(path, entry)) return true;
        }
    }
    return false;
}

// Whether the match lines at the head of the file all hold (and there is
// at least one).
bool fileApplies(std::string_view path, const EpwSettings& settings) {
    std::vector<LStr> lines;
    if (!readLines(path, lines)) return false;
    int32_t lineNumber = 0;
    PositionScope position(path, &lineNumber);
    int32_t matched = 0;
    for (const LStr& line : lines) {
        ++lineNumber;
        if (skipped(line.view())) continue;
        const std::vector<std::string_view> fields = splitFields(line.view());
        const bool copyright = is(fields[0], "COPYR");
        if (!copyright && !is(fields[0], "PATH")) break;
        if (fields.size() < 2) {
            report(kMsgSyntax, kSyntaxError, line.c_str());
            continue;
        }
        const LStr& subject = copyright ? settings.copyright : settings.bodyPath;
        if (!findRex(subject.view(), LStr(fields[1]).view())) return false;
        debugLog(copyright ? "Hit by Copy: %s\n" : "Hit by Path: %s\n", LStr(fields[1]).c_str());
        ++matched;
    }
    return matched > 0;
}

void readSettingLine(EpwSettings& s, const LStr& line) {
    const std::vector<std::string_view> fields = splitFields(line.view());
    const std::string_view key = fields[0];
    const size_t needed = is(key, "GAIJI") || is(key, "REP") ? 3 : 2;
    struct TextKey {
        const char* name;
        LStr EpwSettings::*field;
    };
    static constexpr TextKey kTextKeys[] = {
        {"KEYSEP", &EpwSettings::keySeparEsc}, {"RECSEP", &EpwSettings::recSeparEsc},
        {"DSPREP", &EpwSettings::dspRep},      {"IXL", &EpwSettings::ixLeft},
        {"IXR", &EpwSettings::ixRight},
    };
    if (fields.size() >= needed) {
        if (is(key, "COPYR") || is(key, "PATH")) return;
        if (is(key, "ADDIX")) return void(s.addIx = parseNumber(fields[1]));
        if (is(key, "TAGLEV")) return void(s.tagLevel = parseNumber(fields[1]));
        if (is(key, "MAXLEN")) return void(s.maxLen = parseNumber(fields[1]));
        for (const TextKey& text : kTextKeys)
            if (is(key, text.name)) return void(s.*text.field = fields[1]);
        if (is(key, "GAIJI")) return void(s.gaiji[std::string(fields[1])] = fields[2]);
        if (is(key, "REP")) {
            if (LRexPtr pattern = compileRex(fields[1]))
                s.rules.push_back({std::move(pattern), LStr(fields[2])});
            return;
        }
    }
    report(kMsgSyntax, kSyntaxError, line.c_str());
}

std::mutex newestLock;
bool newestKnown = false;
uint64_t newestTime = 0;

}  // namespace

std::vector<LStr> epwSettingsFolders() {
    std::vector<LStr> folders;
    LStr user = specialFolderPath(SpecialFolder::kUserConfig);
    if (!user.empty()) {
        user.append("/VeloSoft/");
        user.append(kFolderName);
        folders.push_back(std::move(user));
    }
    LStr beside = moduleDir(true);
    if (!beside.empty()) {
        beside.append(kFolderName);
        folders.push_back(std::move(beside));
    }
#ifdef QF_DATA_DIR
    folders.emplace_back(QF_DATA_DIR "/EpwingSettings");
#endif
    return folders;
}

void findSettingsFile(EpwSettings& settings, const std::vector<LStr>& folders) {
    settings.settingsPath.clear();
    forEachSettingsFile(folders, [&settings](const LStr& path, const FsDirEntry&) {
        if (!fileApplies(path.view(), settings)) return false;
        settings.settingsPath = path;
        return true;
    });
}

void readSettings(EpwSettings& s, int32_t maxBytes) {
    s.maxLen = maxBytes;
    std::vector<LStr> lines;
    if (!s.settingsPath.empty() && readLines(s.settingsPath.view(), lines)) {
        int32_t lineNumber = 0;
        PositionScope position(s.settingsPath.view(), &lineNumber);
        for (const LStr& line : lines) {
            ++lineNumber;
            if (!skipped(line.view())) readSettingLine(s, line);
        }
    }
    if (s.keySeparEsc.empty()) s.keySeparEsc = kDefaultSeparator;
    if (s.recSeparEsc.empty()) s.recSeparEsc = kDefaultSeparator;
    if (s.dspRep.empty()) s.dspRep = kDefaultDisplay;
    if (s.ixLeft.empty()) s.ixLeft = "\x81w";
    if (s.ixRight.empty()) s.ixRight = "\x81x";
    s.keySeparator = s.keySeparEsc;
    unescape(s.keySeparator);
}

uint64_t newestSettingsTime(const std::vector<LStr>& folders) {
    std::lock_guard<std::mutex> lock(newestLock);
    if (newestKnown) return newestTime;
    newestTime = 0;
    forEachSettingsFile(folders, [](const LStr&, const FsDirEntry& entry) {
        newestTime = std::max(newestTime, entry.writeTime);
        return false;
    });
    newestKnown = true;
    return newestTime;
}

void resetNewestSettingsTime() {
    std::lock_guard<std::mutex> lock(newestLock);
    newestKnown = false;
}

LStr headerValue(std::string_view file, std::string_view key) {
    LFile in(file, 'r', false);
    if (!in.isOpen()) return {};
    LStr head;
    head.resize(kHeaderPeek);
    const int32_t n = in.read(head.data(), kHeaderPeek);
    head.truncate(std::max(n, 0));
    std::string_view rest = head.view();
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (line.empty() || static_cast<signed char>(line[0]) <= 0x2D || line.starts_with("GAIJI"))
            break;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '\t')
            return LStr(line.substr(key.size() + 1));
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return {};
}
