// The manual and the icons the program ships: the help finds the manual in a
// build tree, can scroll to every section the program links to, and every
// toolbar icon has a drawing of its own when the desktop theme lacks it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "app/app_icons.h"
#include "app/help_window.h"

namespace {

const char* const kSections[] = {"main-window", "search-dialog", "options", "open-hit"};

// The anchor names as QTextBrowser sees them after parsing the page.
QSet<QString> anchorsOf(const QString& page) {
    QFile file(page);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QTextDocument document;
    document.setHtml(QString::fromUtf8(file.readAll()));
    QSet<QString> anchors;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            for (const QString& name : it.fragment().charFormat().anchorNames())
                anchors.insert(name);
        }
    }
    return anchors;
}

QTextBrowser* helpBrowser() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowTitle() == QString::fromUtf8("Quillfind ヘルプ")) {
            return window->findChild<QTextBrowser*>();
        }
    }
    return nullptr;
}

}  // namespace

TEST(HelpManual, EverySectionTheProgramOpensIsAnAnchorOfBothManuals) {
    for (const char* language : {"ja", "en"}) {
        const QString page = manualFolder() + "/" + language + "/index.html";
        const QSet<QString> anchors = anchorsOf(page);
        ASSERT_FALSE(anchors.isEmpty()) << page.toStdString();
        for (const char* section : kSections) {
            EXPECT_TRUE(anchors.contains(section)) << language << ": " << section;
        }
    }
}

TEST(HelpWindow, OneWindowScrollsToEachRequestedSection) {
    for (const char* section : kSections) {
        showHelp(section, nullptr);
        QTextBrowser* browser = helpBrowser();
        ASSERT_NE(browser, nullptr) << section;
        EXPECT_EQ(browser->source().fragment(), section);
        EXPECT_GT(browser->verticalScrollBar()->value(), 0) << section;
    }
    int windows = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        windows += window->windowTitle() == QString::fromUtf8("Quillfind ヘルプ");
    }
    EXPECT_EQ(windows, 1);
}

TEST(HelpIcons, EveryToolbarIconHasADrawingOfItsOwn) {
    for (const char* name : {"edit-find", "process-stop", "document-open", "edit-find-replace",
                             "go-down", "go-up", "go-next", "go-previous", "preferences-system"}) {
        EXPECT_FALSE(themeIcon(name).pixmap(24, 24).isNull()) << name;
        EXPECT_FALSE(QIcon(QString(":/icons/%1.svg").arg(name)).pixmap(24, 24).isNull()) << name;
    }
    EXPECT_FALSE(applicationIcon().pixmap(48, 48).isNull());
}
