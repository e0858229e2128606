// quillfind: the desktop program. It reads the command line and the
// configuration file, shows the main window until it closes, and writes the
// configuration file back.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "app/app_icons.h"
#include "app/app_message_sink.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/sjis_qstring.h"
#include "config/app_settings.h"
#include "config/command_line.h"
#include "support/message_service.h"

int main(int argc, char** argv) {
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
