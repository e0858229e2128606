// The manual shown in a window of the program; each dialog's help button
// opens its own section.
#pragma once
#include <QString>

class QWidget;

// The manual's folder: beside the program, in the source tree for a build
// that is not installed, or under the installed data folder.
QString manualFolder();
// Shows the manual at a section ("" for its start), in the user's language.
void showHelp(const QString& section, QWidget* parent);
