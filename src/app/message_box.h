// Message boxes and yes/no questions of the program, captioned with the
// program name. Tests replace the boxes with a recorder (setMessageBoxHook),
// so that a dialog's checks can run without a modal box waiting for a click.
#pragma once
#include <QString>
#include <functional>

class QWidget;

enum class BoxKind { Message, Question };

// The caption of every box (appTitle; "Velo Software Ltd." until set).
void setMessageBoxCaption(const QString& caption);
QString messageBoxCaption();

// A message with an OK button, always on top of the program's windows.
void showMessageBox(QWidget* parent, const QString& text);
// A yes/no question; true for yes.
bool askYesNo(QWidget* parent, const QString& text);

// Replaces the boxes: the hook gets each box's kind and text and returns the
// answer (true for yes). An empty hook restores the real boxes.
using MessageBoxHook = std::function<bool(BoxKind, const QString&)>;
void setMessageBoxHook(MessageBoxHook hook);
