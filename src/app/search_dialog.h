// The search dialog: edits the search keys of the settings. runSearchDialog
// shows it until the user cancels or its OK checks pass.
#pragma once
#include <QDialog>

struct AppSettings;

class SearchDialog : public QDialog {
    Q_OBJECT
public:
    SearchDialog(AppSettings& settings, QWidget* parent = nullptr);
    // Copies the controls into the settings (on OK).
    void store();
};

// Seeds empty histories, takes pendingFolder into schDir, then shows the
// dialog modally until the user cancels (false) or OK passes its checks
// (true: the caller starts the search). A refused OK shows its message and
// the dialog again with what the user entered.
bool runSearchDialog(AppSettings& settings, QWidget* parent);
