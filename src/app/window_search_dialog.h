// Window-internal search: the small dialog that edits schStr and schICaseF
// for searching the result view itself.
#pragma once
#include <QDialog>

struct AppSettings;
class HistoryCombo;
class QCheckBox;

class WindowSearchDialog : public QDialog {
    Q_OBJECT
public:
    WindowSearchDialog(AppSettings& settings, QWidget* parent = nullptr);
    // Stores the controls; closes only with a non-empty search string.
    void accept() override;

private:
    AppSettings& settings_;
    HistoryCombo* strCombo_ = nullptr;
    QCheckBox* ignoreCase_ = nullptr;
};

// Shows the dialog until the user cancels (false) or confirms a non-empty
// string (true: the caller searches the view downwards).
bool runWindowSearchDialog(AppSettings& settings, QWidget* parent);
