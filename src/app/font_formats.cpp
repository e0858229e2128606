#include "app/font_formats.h"

#include <QColor>
#include <algorithm>

#include "app/sjis_qstring.h"
#include "config/app_settings.h"

QFont fontFromRecord(const FontRecord& record) {
    QFont font;
    font.setFamilies({fromSjis(record.face.view())});
    // The default faces are Windows ones; a fixed-pitch substitute keeps
    // result columns lined up.
    font.setStyleHint(QFont::Monospace);
    if (record.size > 0) font.setPointSize(record.size);
    font.setBold(record.bold());
    font.setItalic(record.italic());
    font.setUnderline(record.underline());
    font.setStrikeOut(record.strikeOut());
    return font;
}

QTextCharFormat charFormatFromRecord(const FontRecord& record) {
    QTextCharFormat format;
    format.setFont(fontFromRecord(record), QTextCharFormat::FontPropertiesSpecifiedOnly);
    format.setForeground(QColor(int(record.red()), int(record.green()), int(record.blue())));
    return format;
}

ResultFormats::ResultFormats() {
    formats_.fill(charFormatFromRecord(FontRecord()));
}

void ResultFormats::load(const AppSettings& settings) {
    // Font number n shows font record n - 1; 0 (no font in force) shows stdFont.
    for (size_t i = 0; i < formats_.size(); ++i)
        formats_[i] = charFormatFromRecord(*settings.fontRecord(std::max(int(i), 1) - 1));
}
