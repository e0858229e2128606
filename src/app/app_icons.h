// The program's icons: the desktop theme's icon where the theme has one, else
// the program's own drawing of it, so that the toolbar never shows blanks.
#pragma once
#include <QIcon>

// The theme's icon named themeName (a freedesktop name such as "edit-find"),
// falling back to the built-in ":/icons/<themeName>.svg".
QIcon themeIcon(const char* themeName);
// The window and desktop icon of the program.
QIcon applicationIcon();
