// quillfind: the desktop program. It reads the command line and the
// configuration file, shows the main window until it closes, and writes the
// configuration file back.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <cstdio>
#include <string_view>

#include "app/app_icons.h"
#include "app/app_message_sink.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/sjis_qstring.h"
#include "config/app_settings.h"
#include "config/command_line.h"
#include "support/message_service.h"

namespace {

constexpr const char* kUsage =
    "Usage: quillfind [-cf:PATH]\n"
    "The Quillfind desktop program: full-text search of Japanese text files.\n"
    "\n"
    "  -cf:PATH   read and write the configuration file PATH instead of\n"
    "             $XDG_CONFIG_HOME/VeloSoft/Quillfind.cfg (also /cf:PATH, --cf=PATH)\n"
    "  --help     show this text;  --version  show the version\n"
    "\n"
    "Press F1 in the program for its manual; 'qf --help' for the command-line tool.\n";

// --help and --version answer on the terminal, before any window opens.
bool answeredOnTerminal(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return true;
        }
        if (argument == "--version") {
            std::printf("quillfind %s\n", QF_VERSION);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (answeredOnTerminal(argc, argv)) return 0;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillfind"));
    QApplication::setDesktopFileName(QStringLiteral("quillfind"));
    QApplication::setWindowIcon(applicationIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    setMessageLanguage('J');
    debugLog("app-start\n");
    auto target = std::make_shared<MessageTarget>();
    installMessageSink(std::make_unique<AppMessageSink>(target));

    AppSettings settings;
    scanCommandLine(argc, argv, settings);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    settings.startUp(screen.width(), screen.height(), defaultEditorCandidates());
    setMessageBoxCaption(fromSjis(settings.appTitle.view()));

    int status = 0;
    {
        MainWindow window(settings, target);
        QObject::connect(&window, &MainWindow::closed, &application, &QApplication::quit,
                         Qt::QueuedConnection);
        window.show();
        status = application.exec();
    }
    settings.save();
    debugLog("app-exit\n");
    shutdownMessages();
    return status;
}
