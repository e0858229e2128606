// The defaults of a fresh font record.
#include "config/font_record.h"

namespace {
// "ＭＳ ゴシック" in Shift-JIS.
constexpr char kDefaultFace[] =
    "\x82l\x82r \x83S\x83V\x83"
    "b\x83N";
}  // namespace

FontRecord::FontRecord() : face(kDefaultFace) {}
