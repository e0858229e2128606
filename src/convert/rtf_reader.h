// The RTF reader: turns an RTF document into plain Shift-JIS text in one pass.
// It keeps the visible characters, turns paragraph, line and page breaks into
// CR LF and tab marks into TAB, and skips the few header groups that hold no
// body text. Fonts and code pages are not interpreted: Japanese RTF spells its
// Shift-JIS bytes as \'xx escapes, and those bytes are written out unchanged.
// A \uN escape (what LibreOffice writes for every Japanese character, with "?"
// after it) is encoded into Shift-JIS, and the \ucN fallback characters after
// it are dropped; a character Shift-JIS lacks becomes an escape like "{%u00E9}".
#pragma once
#include <string_view>

#include "base/lstr.h"

// Appends the text of rtf to out. Damaged input ends the text cleanly (an
// unclosed group, a control word or escape cut off at the end). Polls the stop
// flag every few thousand bytes; false when it was set, with out holding the
// text so far.
bool rtfToText(std::string_view rtf, LStr& out);
