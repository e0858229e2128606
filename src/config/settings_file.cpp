// AppSettings and its configuration file: where the file lives, reading it
// with the file registered as the source position, and writing it through a
// temporary file that replaces the old one only when it was written whole.
// A configuration file that is a symbolic link stays one: the file at the
// end of the link is the one replaced.

#include "config/app_settings.h"
#include "config/ini.h"
#include "platform/file_system.h"
#include "platform/symbolic_link.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "text/buffered_stream.h"
#include "text/file_stream.h"
#include "text/io_file.h"
#include "text/memory_stream.h"
#include "text/stream_position.h"

namespace {

constexpr char kConfigFileName[] = "Quillfind.cfg";
constexpr char kVendorFolder[] = "VeloSoft";
constexpr char kIndexFolderName[] = "Quillfind_ix";
// Longer chains of links are taken for a loop, as the system does.
constexpr int kMaxLinkHops = 40;

// Writes all of text to a new file at path and makes it durable; false after
// reporting when any step failed.
bool writeWholeFile(std::string_view path, std::string_view text) {
    const int errorsBefore = threadErrorCount();
    LFile file(path, 'w', true, true);
    if (!file.isOpen()) return false;
    int32_t written = file.write(text.data(), int32_t(text.size()));
    file.flush();
    file.close();
    return written == int32_t(text.size()) && threadErrorCount() == errorsBefore;
}

// The file a save replaces: path, or the end of the chain of links standing
// at path. A relative link is taken from the link's own folder. False for a
// chain that does not end.
bool fileBehindLinks(std::string_view path, LStr& file) {
    file = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        LStr target;
        if (!fsReadLink(file, target)) return true;
        file = isAbsolutePath(target) ? target : dirPart(file, true).append(target.view());
    }
    return false;
}

void reportSaveFailure(std::string_view path) {
    // "設定ファイル %s を保存できません"
    report(kMsgGeneral,
           jaEn("\x90\xDD\x92\xE8\x83t\x83@\x83"
                "C\x83\x8B %s \x82\xF0\x95\xDB\x91\xB6\x82\xC5"
                "\x82\xAB\x82\xDC\x82\xB9\x82\xF1",
                "cannot save the configuration file %s"),
           LStr(path).c_str());
}

}  // namespace

LStr defaultConfigPath() {
    LStr folder = fsUserConfigFolder();
    if (folder.empty()) return moduleDir(true).append(kConfigFileName);
    appendSeparator(folder);
    return folder.append(kVendorFolder).append('/').append(kConfigFileName);
}

LStr defaultIndexFolder() {
    LStr folder = specialFolderPath(SpecialFolder::kUserCache);
    appendSeparator(folder);
    return folder.append(kVendorFolder).append('/').append(kIndexFolderName).append('/');
}

const std::vector<EditorCandidate>& defaultEditorCandidates() {
    // Editors that open a file at a line given as an argument of its own.
    static const std::vector<EditorCandidate> editors = {
        {"/usr/bin/gedit", "+<@>"},
        {"/usr/bin/pluma", "+<@>"},
        {"/usr/bin/xed", "+<@>"},
        {"/usr/bin/kate", "--line <@>"},
    };
    return editors;
}

LStr AppSettings::configText() {
    LStr text = formatText("; %s Configuration File\r\n", appTitle.c_str());
    LIni ini;
    registerKeys(ini);
    ini.write(text);
    return text;
}

bool AppSettings::load() {
    if (configPath.empty()) configPath = defaultConfigPath();
    ensureDirChain(configPath);
    LIoFile file(configPath, 'r', true);
    if (!file.isOpen()) return false;
    PositionScope position(std::make_unique<LSrmPos>(file));
    LIni ini;
    registerKeys(ini);
    ini.read(file);
    return true;
}

bool AppSettings::loadText(std::string_view text, std::string_view sourceName) {
    const int errorsBefore = threadErrorCount();
    LMemSrm in(text);
    PositionScope position(std::make_unique<LSrmPos>(in, sourceName));
    LIni ini;
    registerKeys(ini);
    ini.read(in);
    return threadErrorCount() == errorsBefore;
}

bool AppSettings::save() {
    if (configPath.empty()) configPath = defaultConfigPath();
    if (!ensureDirChain(configPath)) {
        report(kMsgErrno, "cannot create the folder of %s", configPath.c_str());
        reportSaveFailure(configPath);
        return false;
    }
    LStr file;
    if (!fileBehindLinks(configPath, file)) {
        report(kMsgGeneral, "too many symbolic links: %s", configPath.c_str());
        reportSaveFailure(configPath);
        return false;
    }
    LStr temporary = temporaryPathFor(file);
    bool saved = writeWholeFile(temporary, configText());
    if (saved && !replaceFile(temporary, file)) {
        report(kMsgErrno, "rename %s", temporary.c_str());
        saved = false;
    }
    if (!saved) {
        removeFile(temporary, false);
        reportSaveFailure(configPath);
    }
    return saved;
}

void AppSettings::startUp(int32_t screenWidth, int32_t screenHeight,
                          const std::vector<EditorCandidate>& editors) {
    if (configPath.empty()) configPath = defaultConfigPath();
    if (pathKind(configPath) == kPathFile) {
        load();
    } else {
        for (const EditorCandidate& editor : editors) {
            if (pathKind(editor.program) != kPathFile) continue;
            appToUse = editor.program;
            appOptFormat = editor.optFormat;
            break;
        }
    }
    startUpChecks(screenWidth, screenHeight);
}
