// Choosing a font record: the font dialog (face, size, the four styles),
// then the colour dialog. Returns false when the user cancels either.
#pragma once

class QWidget;
struct FontRecord;

bool chooseFont(FontRecord& record, QWidget* parent);
