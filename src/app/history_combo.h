// An editable combo box over a settings value and its history list: the
// drop-down shows the history, and store() moves the confirmed value to the
// front of it (an equal older entry goes; at most kMostEntries are kept).
#pragma once
#include <QComboBox>

#include "base/lstr.h"
#include "config/app_settings.h"

class HistoryCombo : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kMostEntries = 100;

    HistoryCombo(LStr& value, LStrList& history, QWidget* parent = nullptr);
    // Fills the drop-down from the history and the edit from the value.
    void load();
    // The edit text, as Shift-JIS.
    LStr text() const;
    // Shows a value without storing it.
    void setText(const LStr& value);
    // Writes the edit text into the value and puts it first in the history.
    void store();

private:
    LStr& value_;
    LStrList& history_;
};

// Puts value first in history, removing an equal entry and trimming the
// list to most entries.
void pushHistory(LStrList& history, const LStr& value, int most = HistoryCombo::kMostEntries);
