// The folders of a drop: 1 to 10 items, folders only (files are ignored),
// joined by ";" in Shift-JIS. Empty when the drop has more than 10 items or
// holds no folder.
#pragma once
#include "base/lstr.h"

class QMimeData;

LStr droppedFolders(const QMimeData* data);
