// The conversions at the edge between the program's Shift-JIS text and Qt's
// UTF-16 strings.
#pragma once
#include <QString>
#include <string_view>

#include "base/lstr.h"

// Shift-JIS (with {%uXXXX} escapes) to a QString; undecodable bytes show as
// replacement text, never as messages.
QString fromSjis(std::string_view sjis);
// A QString to Shift-JIS; characters Shift-JIS cannot hold become {%uXXXX}.
LStr toSjis(const QString& text);
