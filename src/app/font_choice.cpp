#include "app/font_choice.h"

#include <QColorDialog>
#include <QFontDialog>

#include "app/font_formats.h"
#include "app/sjis_qstring.h"
#include "config/font_record.h"

namespace {

int32_t styleOf(const QFont& font) {
    return (font.bold() ? FontRecord::kBold : 0) | (font.italic() ? FontRecord::kItalic : 0) |
           (font.underline() ? FontRecord::kUnderline : 0) |
           (font.strikeOut() ? FontRecord::kStrikeOut : 0);
}

}  // namespace

bool chooseFont(FontRecord& record, QWidget* parent) {
    bool accepted = false;
    const QFont font = QFontDialog::getFont(&accepted, fontFromRecord(record), parent);
    if (!accepted) return false;
    const QColor initial(int(record.red()), int(record.green()), int(record.blue()));
    const QColor color = QColorDialog::getColor(initial, parent);
    if (!color.isValid()) return false;
    record.face = toSjis(font.family());
    if (font.pointSize() > 0) record.size = font.pointSize();
    record.style = styleOf(font);
    record.color = rgbColor(uint32_t(color.red()), uint32_t(color.green()), uint32_t(color.blue()));
    return true;
}
