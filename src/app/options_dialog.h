// The options dialog: three pages of settings that are not part of a single
// search. runOptionsDialog shows it at page psLastActive until the user
// cancels or the checks of OK pass (each refusal shows its message and the
// dialog again with the values entered).
#pragma once
#include <QDialog>

#include "config/option_checks.h"

struct AppSettings;

// True when OK passed (settings stored); psLastActive is stored either way.
bool runOptionsDialog(AppSettings& settings, const OptionHooks& hooks, QWidget* parent);
