// Window-internal search: the small dialog that edits schStr and schICaseF
// for searching the result view itself.
#pragma once
#include <QDialog>

struct AppSettings;

// Shows the dialog until the user cancels (false) or confirms a non-empty
// string (true: the caller searches the view downwards).
bool runWindowSearchDialog(AppSettings& settings, QWidget* parent);
