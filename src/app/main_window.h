// The main window: menus, toolbar and status bar built from the command
// table, the result view, and the commands. It starts the search and index
// clean-up workers and hears of their ends through queued calls; only the
// stop flag is written from here while a worker runs.
#pragma once
#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>

#include "app/hit_opener.h"
#include "app/result_pages.h"
#include "base/lstr.h"

class QAction;
class QLabel;
class MessageTarget;
class ResultView;
class RunContext;
class StatusBarSink;
struct AppSettings;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppSettings& settings, std::shared_ptr<MessageTarget> target,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs a command of the table; ids not in it do nothing.
    void runCommand(int id);
    bool busy() const;
    ResultView* resultView() const { return view_; }
    QAction* action(int id) const;
    QLabel* statusPart(int part) const { return statusParts_[size_t(part - 1)]; }
    const ResultPages& pages() const { return pages_; }
    // Replaces what opening a hit starts (tests).
    void setHitLauncher(HitLauncher launcher) { launcher_ = std::move(launcher); }
    // The window became active while another program's window was active.
    void activatedFromOutside();
    // Folders dropped on the window (";"-joined); opens the search dialog.
    void takeDroppedFolders(const LStr& folders);
    // Starts a search over the settings' keys (the dialog's OK).
    void startSearchRun();

signals:
    // The window has closed for good: the program ends.
    void closed();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void restoreGeometry();
    void storeGeometry();
    void updateCommandStates();
    bool isWindowKey(const QKeyEvent& key) const;
    void openSearchDialog();
    // A call of member that a worker's thread makes run on the GUI thread,
    // once the window still exists.
    std::function<void()> onGuiThread(void (MainWindow::*member)());
    void searchEnded();
    void deletionEnded();
    void startDeletion(bool deleteAll, std::string_view folder);
    void cancel();
    void showPage(const ResultPage* page);
    void findInView(bool backwards);
    void windowSearch();
    void chooseFontOf(int id);
    void openHitAtCaret();
    void openOptions();

    AppSettings& settings_;
    std::shared_ptr<MessageTarget> target_;
    std::shared_ptr<RunContext> context_;
    std::shared_ptr<StatusBarSink> statusSink_;
    ResultView* view_ = nullptr;
    std::map<int, QAction*> actions_;
    std::array<QLabel*, 4> statusParts_{};
    ResultPages pages_;
    HitLauncher launcher_;
    LStr displayBase_;  // the prefix the shown run cut from its paths
    bool literalOnce_ = false;
    int suppressFocusSearch_ = 1;  // one-shot: no search on the first activation
};
