// The version dialog: name and version, program folder, Qt version and the
// configuration file.
#pragma once

class QWidget;
struct AppSettings;

void showAboutDialog(const AppSettings& settings, QWidget* parent);
