#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QUrl>

#include "app/app_message_sink.h"
#include "app/app_test_util.h"
#include "app/command_table.h"
#include "app/message_box.h"
#include "app/result_view.h"
#include "app/sjis_qstring.h"
#include "common/temp_dir.h"
#include "config/app_settings.h"

namespace {

// A back reference keeps the matcher from remembering failed positions, so
// this pattern backtracks for ages on the line below and the window stays
// busy until it is cancelled.
constexpr const char* kSlowPattern = "(a|aa)*\\1c";
constexpr const char* kSlowLine =
    "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab c\r\n";

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        dir.write("docs/a.txt", "abc\r\nxyz abc\r\n");
        dir.write("slow/s.txt", kSlowLine);
        settings.ixfDir = LStr(dir.path("ix/")).view();
        settings.schDir = LStr(dir.path("docs")).view();
        settings.schFile = "*.txt";
        settings.schStr = "abc";
        setMessageBoxHook([this](BoxKind, const QString& text) {
            boxes << text;
            return true;
        });
        window = std::make_unique<MainWindow>(settings, target);
        window->show();
        QCoreApplication::processEvents();
    }
    ~MainWindowTest() override {
        window->runCommand(kCmdCancel);
        waitUntil([&] { return !window->busy(); });
        window.reset();
        setMessageBoxHook({});
    }
    QString viewText() {
        window->resultView()->flushPending();
        return window->resultView()->toPlainText();
    }
    void searchAndWait() {
        window->startSearchRun();
        ASSERT_TRUE(waitUntil([&] { return !window->busy(); }));
        QCoreApplication::processEvents();
    }
    void startSlowSearch() {
        settings.schType = AppSettings::kRegexSearch;
        settings.schStr = kSlowPattern;
        settings.schDir = LStr(dir.path("slow")).view();
        window->startSearchRun();
        ASSERT_TRUE(window->busy());
    }

    TempDir dir;
    AppSettings settings;
    std::shared_ptr<MessageTarget> target = std::make_shared<MessageTarget>();
    std::unique_ptr<MainWindow> window;
    QStringList boxes;
};

TEST_F(MainWindowTest, SearchFromTheDialogShowsHitsAndSummary) {
    pressOkWhenModal();
    window->runCommand(kCmdSearch);
    ASSERT_TRUE(waitUntil([&] { return !window->busy() && window->pages().size() == 1; }));
    const QString text = viewText();
    EXPECT_TRUE(text.contains(QStringLiteral("a.txt(2): xyz abc"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("発見数 2"))) << text.toStdString();
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(MainWindowTest, DoubleClickOpensTheHitOfThatLineAtItsLine) {
    settings.appToUse = "/usr/bin/editor";
    settings.appOptFormat = "+<@>";
    QStringList started;
    window->setHitLauncher({[&](const QString& program, const QStringList& arguments) {
                                started << program << arguments;
                                return true;
                            },
                            [](const QString&) { return true; }});
    searchAndWait();
    ResultView* view = window->resultView();
    const QTextBlock line = view->document()->find(QStringLiteral("a.txt(2)")).block();
    ASSERT_TRUE(line.isValid());
    QTextCursor at(line);
    at.movePosition(QTextCursor::EndOfBlock);  // far from the word the click would select
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(at).center());
    EXPECT_EQ(started, (QStringList{QStringLiteral("/usr/bin/editor"), QStringLiteral("+2"),
                                    QString::fromStdString(dir.path("docs/a.txt"))}));
}

TEST_F(MainWindowTest, BadInputGivesItsMessageAndTheWindowStaysUsable) {
    struct Case {
        int type;
        const char* pattern;
        const char* folder;
        const char* message;
    };
    const Case cases[] = {
        {AppSettings::kNormalSearch, "abc", "missing", "missing"},
        {AppSettings::kRegexSearch, "a(b", "docs", "#35000"},
    };
    for (const Case& c : cases) {
        boxes.clear();
        settings.schType = c.type;
        settings.schStr = c.pattern;
        settings.schDir = LStr(dir.path(c.folder)).view();
        searchAndWait();
        ASSERT_FALSE(boxes.isEmpty()) << c.pattern;
        EXPECT_TRUE(boxes.join(u'|').contains(QString::fromUtf8(c.message)))
            << boxes.join(u'|').toStdString();
        EXPECT_TRUE(window->action(kCmdSearch)->isEnabled());
    }
}

TEST_F(MainWindowTest, CommandStatesFollowTheBusyStateAndCancelStops) {
    startSlowSearch();
    EXPECT_TRUE(window->action(kCmdCancel)->isEnabled());
    EXPECT_FALSE(window->action(kCmdSearch)->isEnabled());
    EXPECT_FALSE(window->action(kCmdOptions)->isEnabled());
    EXPECT_EQ(window->statusPart(2)->text(), QStringLiteral("検索中"));
    QTest::keyClick(window->resultView(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !window->busy(); }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->action(kCmdCancel)->isEnabled());
    EXPECT_TRUE(window->action(kCmdSearch)->isEnabled());
    EXPECT_TRUE(window->action(kCmdOptions)->isEnabled());
}

TEST_F(MainWindowTest, ClosingWhileBusyStopsTheSearchThenCloses) {
    bool closed = false;
    QObject::connect(window.get(), &MainWindow::closed, [&] { closed = true; });
    startSlowSearch();
    window->close();
    EXPECT_FALSE(closed);
    ASSERT_TRUE(waitUntil([&] { return closed; }));
    EXPECT_FALSE(window->busy());
}

TEST_F(MainWindowTest, PageHistoryKeepsTheLastPagesAndMovesWithCtrlArrows) {
    settings.xnMsHisroty = 2;
    for (const char* word : {"abc", "xyz", "zzz"}) {
        settings.schStr = word;
        searchAndWait();
    }
    ASSERT_EQ(window->pages().size(), 2);
    EXPECT_FALSE(window->action(kCmdNextPage)->isEnabled());
    QTest::keyClick(window->resultView(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_TRUE(viewText().contains(QStringLiteral("「xyz」")));
    EXPECT_FALSE(window->action(kCmdPreviousPage)->isEnabled());  // "abc" is gone
    QTest::keyClick(window->resultView(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_TRUE(viewText().contains(QStringLiteral("「zzz」")));
}

TEST_F(MainWindowTest, SearchOnFocusTakesOneLineOfClipboardText) {
    settings.searchOnFocus = 2;
    QApplication::clipboard()->setText(QStringLiteral("xyz\nabc"));
    for (int i = 0; i < 2; ++i)
        window->activatedFromOutside();  // the first only clears the one-shot
    EXPECT_FALSE(window->busy());
    EXPECT_EQ(window->pages().size(), 0);
    QApplication::clipboard()->setText(QStringLiteral("xyz"));
    window->activatedFromOutside();
    ASSERT_TRUE(waitUntil([&] { return window->pages().size() == 1; }));
    EXPECT_EQ(settings.schStr.view(), "xyz");
    EXPECT_TRUE(viewText().contains(QStringLiteral("a.txt(2): xyz abc")));
}

TEST_F(MainWindowTest, DroppedFoldersOpenTheSearchDialogFilesAreIgnored) {
    dir.write("other/b.txt", "b");
    auto dropOn = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &drop);
    };
    dropOn({QUrl::fromLocalFile(QString::fromStdString(dir.path("docs/a.txt")))});
    EXPECT_TRUE(settings.pendingFolder.empty());

    QString folderShown;
    whenModal([&](QDialog* dialog) {
        folderShown = QString::fromStdString(std::string(settings.schDir.view()));
        dialog->reject();
    });
    dropOn({QUrl::fromLocalFile(QString::fromStdString(dir.path("docs"))),
            QUrl::fromLocalFile(QString::fromStdString(dir.path("other")))});
    ASSERT_TRUE(waitUntil([&] { return !folderShown.isEmpty(); }));
    EXPECT_EQ(folderShown.toStdString(), dir.path("docs") + ";" + dir.path("other"));
    EXPECT_TRUE(settings.pendingFolder.empty());
}

TEST(CommandTable, MenusAndToolbarNameOnlyCommandsOfTheTable) {
    std::vector<int> ids(toolbarLayout().begin(), toolbarLayout().end());
    for (const MenuLayout& menu : menuLayouts())
        ids.insert(ids.end(), menu.items.begin(), menu.items.end());
    ids.insert(ids.end(), fontMenuLayout().items.begin(), fontMenuLayout().items.end());
    for (int id : ids) {
        if (id > 0) {
            EXPECT_NE(findCommand(id), nullptr) << id;
        }
    }
}

}  // namespace
