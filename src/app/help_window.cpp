// The manual in a browser window of the program's own: one window, reused by
// every help request, that keeps its page history while it lives.
#include "app/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include "app/app_icons.h"

namespace {

QString manualIndex(const QString& folder, const QString& language) {
    return folder + QLatin1Char('/') + language + QStringLiteral("/index.html");
}

bool prefersJapanese() {
    const QLocale locale;
    if (locale.language() == QLocale::Japanese) return true;
    const QStringList languages = locale.uiLanguages();
    return !languages.isEmpty() && languages.first().startsWith(QLatin1String("ja"));
}

// The manual in the user's language, else the other one; "" when neither is there.
QString manualPage() {
    const QString folder = manualFolder();
    const QString first = prefersJapanese() ? QStringLiteral("ja") : QStringLiteral("en");
    const QString second =
        first == QLatin1String("ja") ? QStringLiteral("en") : QStringLiteral("ja");
    for (const QString& language : {first, second}) {
        const QString page = manualIndex(folder, language);
        if (QFileInfo(page).isFile()) return page;
    }
    return {};
}

class HelpWindow : public QWidget {
public:
    explicit HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
        setWindowTitle(QString::fromUtf8("Quillfind ヘルプ"));
        setWindowIcon(applicationIcon());
        browser_ = new QTextBrowser(this);
        // Links to web pages go to the desktop's browser; the manual's own
        // links stay in this window.
        browser_->setOpenExternalLinks(true);

        auto* tools = new QToolBar(this);
        tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        QAction* back = tools->addAction(themeIcon("go-previous"), QString::fromUtf8("戻る"),
                                         browser_, &QTextBrowser::backward);
        QAction* forward = tools->addAction(themeIcon("go-next"), QString::fromUtf8("進む"),
                                            browser_, &QTextBrowser::forward);
        tools->addAction(QIcon::fromTheme(QStringLiteral("go-home")), QString::fromUtf8("目次"),
                         browser_, &QTextBrowser::home);
        back->setEnabled(false);
        forward->setEnabled(false);
        connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
        connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(tools);
        layout->addWidget(browser_);
        resize(820, 640);
    }

    void open(const QString& page, const QString& section) {
        const QUrl start = QUrl::fromLocalFile(page);
        // The manual's first page is "home"; another manual file restarts the
        // history there.
        if (browser_->source().adjusted(QUrl::RemoveFragment) != start) {
            browser_->setSource(start);
            browser_->clearHistory();
        }
        QUrl url = start;
        if (!section.isEmpty()) url.setFragment(section);
        if (browser_->source() != url) browser_->setSource(url);
    }

private:
    QTextBrowser* browser_ = nullptr;
};

// The owner keeps the window usable while a modal dialog of the program is
// open: a window outside the modal one would not take input.
QWidget* ownerFor(QWidget* parent) {
    return parent ? parent->window() : nullptr;
}

}  // namespace

QString manualFolder() {
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/quillfind/manual");
    if (QFileInfo(installed).isDir()) return QDir::cleanPath(installed);
    const QString sourceTree = QStringLiteral(QF_SOURCE_DIR "/docs/manual");
    if (QFileInfo(sourceTree).isDir()) return sourceTree;
    return QStringLiteral(QF_DATA_DIR "/manual");
}

void showHelp(const QString& section, QWidget* parent) {
    const QString page = manualPage();
    if (page.isEmpty()) return;
    static QPointer<HelpWindow> window;
    QWidget* owner = ownerFor(parent);
    if (!window) {
        window = new HelpWindow(owner);
        // Nothing would delete a window without an owner before the program ends.
        if (!owner) window->setAttribute(Qt::WA_DeleteOnClose);
    } else if (window->parentWidget() != owner) {
        const QRect geometry = window->geometry();
        window->setParent(owner, Qt::Window);
        window->setGeometry(geometry);
    }
    window->open(page, section);
    window->show();
    window->raise();
    window->activateWindow();
}
