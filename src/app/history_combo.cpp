#include "app/history_combo.h"

#include <algorithm>

#include "app/sjis_qstring.h"

HistoryCombo::HistoryCombo(LStr& value, LStrList& history, QWidget* parent)
    : QComboBox(parent), value_(value), history_(history) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Qt's inline completion would turn a typed prefix of an entry into the
    // whole entry on OK; the history is offered by the drop-down alone.
    setCompleter(nullptr);
    setMaxCount(kMostEntries);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(30);
    load();
}

void HistoryCombo::load() {
    clear();
    for (const LStr& entry : history_) addItem(fromSjis(entry.view()));
    setText(value_);
}

LStr HistoryCombo::text() const {
    return toSjis(currentText());
}

void HistoryCombo::setText(const LStr& value) {
    setEditText(fromSjis(value.view()));
}

void HistoryCombo::store() {
    value_ = text();
    pushHistory(history_, value_);
}

void pushHistory(LStrList& history, const LStr& value, int most) {
    history.erase(std::remove(history.begin(), history.end(), value), history.end());
    history.insert(history.begin(), value);
    if (int(history.size()) > most) history.resize(size_t(most));
}
