#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "app/about_dialog.h"
#include "app/app_icons.h"
#include "app/app_message_sink.h"
#include "app/command_table.h"
#include "app/dropped_folders.h"
#include "app/font_choice.h"
#include "app/help_window.h"
#include "app/option_hooks.h"
#include "app/options_dialog.h"
#include "app/result_view.h"
#include "app/search_dialog.h"
#include "app/sjis_qstring.h"
#include "app/status_bar_sink.h"
#include "app/window_search_dialog.h"
#include "config/app_settings.h"
#include "index/wk_del.h"
#include "search/display_base.h"
#include "search/font_markers.h"
#include "search/missing_folder.h"
#include "search/search_output.h"
#include "search/search_request.h"
#include "search/search_run.h"
#include "support/message_service.h"
#include "support/run_context.h"
#include "support/stop_flag.h"

namespace {

constexpr int kCloseRetryMs = 50;
// The first start's window size, when the settings leave it to the system.
constexpr int kDefaultWidth = 960;
constexpr int kDefaultHeight = 640;
constexpr const char* kHomePage = "https://quillfind.org/";

// The record of a font command (111 to 116, 120 to 123).
FontRecord* fontRecordOf(AppSettings& settings, int id) {
    if (id >= kCmdFontStd && id <= kCmdFontMsg) return settings.fontRecord(id - kCmdFontStd);
    if (id >= kCmdFontSpc0 && id <= kCmdFontSpc3) return settings.fontRecord(6 + id - kCmdFontSpc0);
    return nullptr;
}

QString menuText(const Command& command) {
    QString text = QString::fromUtf8(command.label);
    text += QStringLiteral("(&%1)").arg(QChar(command.letter));
    if (command.opensDialog) text += QStringLiteral("...");
    if (*command.keyText) text += QLatin1Char('\t') + QString::fromUtf8(command.keyText);
    return text;
}

// The keys of the commands; Esc/Enter and Ctrl+arrow have more than one.
QList<QKeySequence> keysOf(int id) {
    switch (id) {
        case kCmdCancel:
            return {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_Return),
                    QKeySequence(Qt::Key_Enter)};
        case kCmdPreviousPage:
            return {QKeySequence(Qt::CTRL | Qt::Key_Up)};
        case kCmdNextPage:
            return {QKeySequence(Qt::CTRL | Qt::Key_Down)};
        case kCmdOpenHit:
            return {QKeySequence(Qt::CTRL | Qt::Key_Q)};
        case kCmdExit:
            return {QKeySequence(Qt::ALT | Qt::Key_F4)};
        default:
            break;
    }
    const Command* command = findCommand(id);
    if (!command || !*command->keyText) return {};
    return {QKeySequence(QString::fromUtf8(command->keyText))};
}

bool isEditingKey(const QKeySequence& key) {
    for (auto standard :
         {QKeySequence::Cut, QKeySequence::Copy, QKeySequence::Paste, QKeySequence::SelectAll})
        if (QKeySequence::keyBindings(standard).contains(key)) return true;
    return false;
}

}  // namespace

MainWindow::MainWindow(AppSettings& settings, std::shared_ptr<MessageTarget> target,
                       QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      target_(std::move(target)),
      context_(std::make_shared<RunContext>()),
      pages_(settings.xnMsHisroty),
      launcher_(systemHitLauncher()) {
    setObjectName(QStringLiteral("Quillfind_WinClass"));
    setWindowTitle(QStringLiteral("Quillfind"));
    view_ = new ResultView(this);
    view_->setObjectName(QStringLiteral("resultView"));
    view_->applySettings(settings_);
    view_->installEventFilter(this);
    view_->viewport()->installEventFilter(this);
    setCentralWidget(view_);
    buildActions();
    buildMenus();
    buildToolbar();
    buildStatusBar();
    setAcceptDrops(true);
    restoreGeometry();
    target_->setBoxParent(this);
    target_->setResultText([view = view_](std::string_view text) { view->appendPending(text); });
    context_->setMessageSink(std::make_shared<AppMessageSink>(target_));
    context_->setStatusSink(statusSink_);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive) activatedFromOutside();
            });
    // Plain output starts in the standard font.
    QMetaObject::invokeMethod(
        this,
        [this] {
            LStr marker;
            appendMarker(marker, kFontStd);
            view_->appendPending(marker.view());
            updateCommandStates();
        },
        Qt::QueuedConnection);
}

MainWindow::~MainWindow() {
    target_->setResultText({});
    target_->setBoxParent(nullptr);
}

void MainWindow::buildActions() {
    for (const Command& command : commandTable()) {
        auto* action = new QAction(menuText(command), this);
        action->setStatusTip(QString::fromUtf8(command.description));
        action->setShortcuts(keysOf(command.id));
        action->setShortcutContext(Qt::WindowShortcut);
        if (command.icon) action->setIcon(themeIcon(command.icon));
        const int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_[id] = action;
        addAction(action);  // keys work even with the menu bar hidden
    }
}

void MainWindow::buildMenus() {
    auto fill = [this](QMenu* menu, std::span<const int> items, auto& self) -> void {
        for (int id : items) {
            if (id == 0) {
                menu->addSeparator();
            } else if (id == kSubmenuFonts) {
                const MenuLayout& fonts = fontMenuLayout();
                self(menu->addMenu(QString::fromUtf8(fonts.title)), fonts.items, self);
            } else {
                menu->addAction(actions_.at(id));
            }
        }
    };
    for (const MenuLayout& layout : menuLayouts())
        fill(menuBar()->addMenu(QString::fromUtf8(layout.title)), layout.items, fill);
}

void MainWindow::buildToolbar() {
    QToolBar* bar = addToolBar(QStringLiteral("toolbar"));
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setMovable(false);
    for (int id : toolbarLayout()) {
        if (id == 0)
            bar->addSeparator();
        else
            bar->addAction(actions_.at(id));
    }
}

void MainWindow::buildStatusBar() {
    const int unit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int widths[] = {0, 10, 6, 6};
    std::array<QLabel*, StatusBarSink::kParts> labels{};
    for (size_t i = 0; i < labels.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("status%1").arg(i + 1));
        if (widths[i] > 0) label->setMinimumWidth(widths[i] * unit * 2);
        statusBar()->addPermanentWidget(label, widths[i] == 0 ? 1 : 0);
        labels[i] = label;
    }
    statusParts_ = labels;
    statusSink_ = std::make_shared<StatusBarSink>(labels);
}

QAction* MainWindow::action(int id) const {
    auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

bool MainWindow::isWindowKey(const QKeyEvent& key) const {
    const QKeySequence pressed(key.keyCombination());
    if (isEditingKey(pressed)) return false;
    for (const auto& [id, action] : actions_)
        if (action->isEnabled() && action->shortcuts().contains(pressed)) return true;
    return false;
}

bool MainWindow::busy() const {
    return searchBusy();
}

void MainWindow::updateCommandStates() {
    const bool isBusy = busy();
    actions_.at(kCmdCancel)->setEnabled(isBusy);
    actions_.at(kCmdSearch)->setEnabled(!isBusy);
    actions_.at(kCmdOptions)->setEnabled(!isBusy);
    actions_.at(kCmdPreviousPage)->setEnabled(pages_.hasPrevious());
    actions_.at(kCmdNextPage)->setEnabled(pages_.hasNext());
}

void MainWindow::runCommand(int id) {
    if (fontRecordOf(settings_, id)) return chooseFontOf(id);
    switch (id) {
        case kCmdOptions:
            return openOptions();
        case kCmdDeleteOldIndex:
        case kCmdDeleteAllIndex:
            return startDeletion(id == kCmdDeleteAllIndex, settings_.ixfDir.view());
        case kCmdExit:
            close();
            return;
        case kCmdSearch:
            return openSearchDialog();
        case kCmdOpenHit:
            return openHitAtCaret();
        case kCmdCancel:
            return cancel();
        case kCmdWindowSearch:
            return windowSearch();
        case kCmdFindNext:
        case kCmdFindPrevious:
            return findInView(id == kCmdFindPrevious);
        case kCmdPreviousPage:
            return showPage(pages_.previous());
        case kCmdNextPage:
            return showPage(pages_.next());
        case kCmdCut:
            return view_->cut();
        case kCmdCopy:
            return view_->copy();
        case kCmdPaste:
            return view_->paste();
        case kCmdSelectAll:
            return view_->selectAll();
        case kCmdHelp:
            return showHelp(QString(), this);
        case kCmdHomePage:
            QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage)));
            return;
        case kCmdAbout:
            return showAboutDialog(settings_, this);
        default:
            return;  // 501 (debug) and unknown ids have no action
    }
}

void MainWindow::openSearchDialog() {
    if (busy()) return;
    if (runSearchDialog(settings_, this)) startSearchRun();
}

std::function<void()> MainWindow::onGuiThread(void (MainWindow::*member)()) {
    QPointer<MainWindow> self(this);
    return [self, member] {
        QMetaObject::invokeMethod(
            qApp,
            [self, member] {
                if (self) (self.data()->*member)();
            },
            Qt::QueuedConnection);
    };
}

void MainWindow::startSearchRun() {
    if (busy()) return;
    view_->clearView();
    target_->takePage();
    view_->setAutoScroll(settings_.dspAutoScroll != 0);
    const SearchRequest request = makeSearchRequest(settings_, literalOnce_);
    literalOnce_ = false;
    {
        RunContextScope scope(context_);  // the run's messages, from its first
        for (const LStr& folder : request.folders) reportMissingFolder(folder.view(), kMsgGeneral);
    }
    displayBase_ = displayBaseOf(request);
    const StartOutcome outcome = startSearch(
        request, context_,
        [ended = onGuiThread(&MainWindow::searchEnded)](const SearchSummary&) { ended(); });
    if (outcome == StartOutcome::Started) statusParts_[1]->setText(QStringLiteral("検索中"));
    updateCommandStates();
}

void MainWindow::searchEnded() {
    view_->flushPending();
    pages_.setLimit(settings_.xnMsHisroty);
    pages_.file({target_->takePage(), displayBase_});
    statusParts_[1]->clear();
    updateCommandStates();
}

void MainWindow::startDeletion(bool deleteAll, std::string_view folder) {
    if (busy()) return;
    startDeletionWorker(deleteAll, folder, onGuiThread(&MainWindow::deletionEnded));
    updateCommandStates();
}

void MainWindow::deletionEnded() {
    updateCommandStates();
}

void MainWindow::cancel() {
    if (!busy()) return;
    context_->requestStop();
    stopFlag().store(1);  // the deletion worker's flag (no run context here)
}

void MainWindow::showPage(const ResultPage* page) {
    if (!page) return;
    view_->clearView();
    view_->appendPending(page->text.view());
    view_->flushPending();
    displayBase_ = page->displayBase;
    updateCommandStates();
}

void MainWindow::findInView(bool backwards) {
    QTextDocument::FindFlags flags;
    if (backwards) flags |= QTextDocument::FindBackward;
    if (!settings_.schICaseF) flags |= QTextDocument::FindCaseSensitively;
    view_->find(fromSjis(settings_.schStr.view()), flags);
}

void MainWindow::windowSearch() {
    if (busy()) return;
    if (runWindowSearchDialog(settings_, this)) findInView(false);
}

void MainWindow::chooseFontOf(int id) {
    if (chooseFont(*fontRecordOf(settings_, id), this)) view_->applySettings(settings_);
}

void MainWindow::openHitAtCaret() {
    const QString failure =
        openHit(view_->caretLineOrSelection(), displayBase_.view(), settings_, launcher_);
    if (!failure.isEmpty()) outputMessageText(toSjis(failure).view());
}

void MainWindow::openOptions() {
    if (busy()) return;
    QPointer<MainWindow> self(this);
    const OptionHooks hooks = makeOptionHooks([self](std::string_view folder) {
        if (self) self->startDeletion(true, folder);
    });
    runOptionsDialog(settings_, hooks, this);
    view_->applySettings(settings_);
    pages_.setLimit(settings_.xnMsHisroty);
    updateCommandStates();
}

void MainWindow::activatedFromOutside() {
    view_->setFocus();
    if (suppressFocusSearch_) {
        if (suppressFocusSearch_ == 1) suppressFocusSearch_ = 0;
        return;
    }
    if (settings_.searchOnFocus == 0 || busy()) return;
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty() || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return;
    settings_.schStr = toSjis(text);
    if (settings_.searchOnFocus == 2) {
        literalOnce_ = true;
        startSearchRun();
    } else {
        QMetaObject::invokeMethod(this, &MainWindow::openSearchDialog, Qt::QueuedConnection);
    }
}

void MainWindow::takeDroppedFolders(const LStr& folders) {
    if (folders.empty()) return;
    if (!settings_.pendingFolder.empty()) settings_.pendingFolder.append(';');
    settings_.pendingFolder.append(folders.view());
    raise();
    activateWindow();
    QMetaObject::invokeMethod(this, &MainWindow::openSearchDialog, Qt::QueuedConnection);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    takeDroppedFolders(droppedFolders(event->mimeData()));
    event->acceptProposedAction();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        statusParts_[0]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

// The window's keys reach their commands before the view sees them (its
// editing keys, Ctrl+X/C/V/A, stay its own). Double-clicking a result line
// opens its hit; the view's own word selection would otherwise hide the line.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::ShortcutOverride &&
        isWindowKey(*static_cast<QKeyEvent*>(event)))
        return true;  // not taken by the view: the window's command runs
    if (watched == view_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        view_->setTextCursor(view_->cursorForPosition(mouse->position().toPoint()));
        openHitAtCaret();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (busy()) {
        cancel();
        event->ignore();
        QTimer::singleShot(kCloseRetryMs, this, &MainWindow::close);
        return;
    }
    suppressFocusSearch_ = 2;
    storeGeometry();
    event->accept();
    emit closed();
}

void MainWindow::restoreGeometry() {
    const WindowRect& rc = settings_.mainRc;
    constexpr int32_t unset = WindowRect::kUseDefaultPosition;
    if (rc.width != unset && rc.height != unset)
        resize(rc.width, rc.height);
    else
        resize(kDefaultWidth, kDefaultHeight);
    if (rc.x != unset && rc.y != unset) move(rc.x, rc.y);
}

void MainWindow::storeGeometry() {
    if (isMinimized() || !isVisible()) return;
    const QRect frame = geometry();
    settings_.mainRc = WindowRect{frame.x(), frame.y(), frame.width(), frame.height()};
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    storeGeometry();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    storeGeometry();
}
