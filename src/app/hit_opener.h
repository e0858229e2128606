// Opening the hit under the caret of the result view: the outside editor at
// the hit's line, or the desktop's application for the file's type. Nothing
// goes through a shell.
#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <string_view>

struct AppSettings;

// What starts a program; tests replace it with a recorder. Returns false
// when the program could not be started.
struct HitLauncher {
    std::function<bool(const QString& program, const QStringList& arguments)> startProgram;
    std::function<bool(const QString& path)> openWithDesktop;
};
HitLauncher systemHitLauncher();

// Opens the hit that the line text names (a result line "path(line): ...",
// or a bare path). displayBase is the prefix the run cut from its paths.
// Returns a message line for the result view when the start failed, else an
// empty string.
QString openHit(const QString& lineText, std::string_view displayBase, const AppSettings& settings,
                const HitLauncher& launcher);
