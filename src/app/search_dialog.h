// The search dialog: edits the search keys of the settings. runSearchDialog
// shows it until the user cancels or its OK checks pass.
#pragma once
#include <QDialog>
#include <QString>
#include <array>

struct AppSettings;
class HistoryCombo;
class QAbstractButton;
class QCheckBox;
class QRadioButton;
class QMimeData;

class SearchDialog : public QDialog {
    Q_OBJECT
public:
    SearchDialog(AppSettings& settings, QWidget* parent = nullptr);
    // Copies the controls into the settings (on OK).
    void store();
    // Enables the options that make sense for the chosen search type.
    void updateStates();

    // OK: stores, then closes only when the settings pass their checks (a
    // refusal shows its message and leaves the dialog open as entered).
    void accept() override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Folder drops on the combo boxes' edits reach the dialog too.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLayout* makeCombos();
    QWidget* makeTypeGroup();
    QLayout* makeCheckBoxes();
    QWidget* makeButtons();
    void browseFolder();
    // Takes the folders of a drop into schDir; false when it holds none.
    bool takeFolders(const QMimeData* data);

    AppSettings& settings_;
    HistoryCombo* strCombo_ = nullptr;
    HistoryCombo* dirCombo_ = nullptr;
    HistoryCombo* fileCombo_ = nullptr;
    std::array<QRadioButton*, 3> typeRadios_{};  // normal, regex, fuzzy
    std::array<QCheckBox*, 8> checks_{};         // in the order of the bindings
};

// Why the settings cannot start a search (the message to show), or an empty
// string when they can.
QString searchSettingsProblem(const AppSettings& settings);

// Seeds empty histories, takes pendingFolder into schDir, then shows the
// dialog modally until the user cancels (false) or OK passes its checks
// (true: the caller starts the search). A refused OK shows its message and
// the dialog again with what the user entered.
bool runSearchDialog(AppSettings& settings, QWidget* parent);
