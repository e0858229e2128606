// The manual and the icons the program ships: the help finds the manual in a
// build tree, can scroll to every section the program links to, and every
// toolbar icon has a drawing of its own when the desktop theme lacks it.
#include <gtest/gtest.h>

#include <QFile>
#include <QScrollBar>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QWidget>

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
    QWidget owner;
    for (const char* section : kSections) {
        showHelp(section, &owner);
        const auto browsers = owner.findChildren<QTextBrowser*>();
        ASSERT_EQ(browsers.size(), 1) << section;
        EXPECT_EQ(browsers[0]->source().fragment(), section);
        EXPECT_GT(browsers[0]->verticalScrollBar()->value(), 0) << section;
    }
}

TEST(HelpIcons, EveryToolbarIconHasADrawingOfItsOwn) {
    for (const char* name : {"edit-find", "process-stop", "document-open", "edit-find-replace",
                             "go-down", "go-up", "go-next", "go-previous", "preferences-system"}) {
        EXPECT_FALSE(themeIcon(name).pixmap(24, 24).isNull()) << name;
        EXPECT_FALSE(QIcon(QString(":/icons/%1.svg").arg(name)).pixmap(24, 24).isNull()) << name;
    }
    EXPECT_FALSE(applicationIcon().pixmap(48, 48).isNull());
}
