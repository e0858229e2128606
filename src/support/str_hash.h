// strHash: the program's string hash (bucket choice of string sets, gram bits
// of signatures). Sum of byte times a fixed multiplier, wrapping at 32 bits.
#pragma once
#include <cstdint>
#include <string_view>

uint32_t strHash(std::string_view bytes);
// Hash of a NUL-terminated string; null hashes to 0.
uint32_t strHash(const char* text);
