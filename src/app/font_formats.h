// The Qt side of the font records: a FontRecord becomes a QFont (face kept
// even when the system lacks it, so Qt's matching picks a look-alike) and a
// QTextCharFormat with its colour and style bits. ResultFormats holds the
// formats of the ten result fonts by font number.
#pragma once
#include <QFont>
#include <QTextCharFormat>
#include <array>

#include "search/font_markers.h"

struct AppSettings;
struct FontRecord;

QFont fontFromRecord(const FontRecord& record);
QTextCharFormat charFormatFromRecord(const FontRecord& record);

class ResultFormats {
public:
    // Every font number shows as a default-constructed stdFont until load().
    ResultFormats();
    void load(const AppSettings& settings);
    // The format of a font number; 0 (no font in force) and numbers out of
    // range take stdFont's.
    const QTextCharFormat& format(int font) const { return formats_[size_t(shownFont(font))]; }
    // The font number whose format a font number shows in.
    static int shownFont(int font) { return font > 0 && font < kFontCount ? font : kFontStd; }

private:
    std::array<QTextCharFormat, kFontCount> formats_;
};
