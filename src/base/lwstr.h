// LWStr: the UTF-16 counterpart of LStr (lengths in 16-bit units).
#pragma once
#include <string_view>

#include "base/basic_string_buffer.h"

using LWStr = BasicStringBuffer<char16_t>;
