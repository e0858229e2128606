// Opening a hit: the engine decides what to start, this file starts it with
// Qt. Program, arguments and path reach the system as the exact bytes the
// file system knows them by.
#include "app/hit_opener.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QUrl>

#include "app/sjis_qstring.h"
#include "config/app_settings.h"
#include "platform/path_encoding.h"
#include "search/hit_location.h"

namespace {

// Failure codes of the message line, as the classic shell reported them:
// 2 (file not found) when the program could not be started, 31 (no
// association) when the desktop has no application for the file.
constexpr int kProgramNotStarted = 2;
constexpr int kNoAssociation = 31;

// A Shift-JIS text as the QString whose local encoding gives back the
// file system's bytes of it.
QString systemText(std::string_view sjis) {
    const std::string utf8 = toSystemPath(sjis);
    return QFile::decodeName(QByteArray(utf8.data(), qsizetype(utf8.size())));
}

QString failureLine(int code) {
    return QStringLiteral("ShellExecute() failed with code %1").arg(code);
}

}  // namespace

HitLauncher systemHitLauncher() {
    HitLauncher launcher;
    launcher.startProgram = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
    launcher.openWithDesktop = [](const QString& path) {
        return QDesktopServices::openUrl(
            QUrl::fromLocalFile(QDir::current().absoluteFilePath(path)));
    };
    return launcher;
}

QString openHit(const QString& lineText, std::string_view displayBase, const AppSettings& settings,
                const HitLauncher& launcher) {
    const HitOpening opening = planHitOpening(toSjis(lineText).view(), displayBase, settings);
    switch (opening.kind) {
        case HitOpenKind::None:
            return {};
        case HitOpenKind::Desktop:
            if (launcher.openWithDesktop(systemText(opening.path.view()))) return {};
            return failureLine(kNoAssociation);
        case HitOpenKind::Editor:
            break;
    }
    QStringList arguments;
    for (const LStr& argument : opening.arguments) arguments << systemText(argument.view());
    if (launcher.startProgram(systemText(opening.program.view()), arguments)) return {};
    return failureLine(kProgramNotStarted);
}
