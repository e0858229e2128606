// Character steps over Shift-JIS text bounded by a start and an end pointer,
// as the matcher needs them: forward and backward reads that never split a
// double-byte character and never touch a byte outside [start, end).
#pragma once
#include "base/ctype_table.h"

inline unsigned char ub(const char* p) {
    return static_cast<unsigned char>(*p);
}

// Bytes of the character at p (p < end): 2 for a lead byte with a byte after it.
inline int forwardCharLen(const char* p, const char* end) {
    return isLeadByte(ub(p)) && p + 1 < end ? 2 : 1;
}

// Bytes of the character ending at p (start < p): a byte outside the lead
// class always ends a character, so an odd run of lead-class bytes before
// p - 1 means p - 1 is a trail byte.
inline int backwardCharLen(const char* start, const char* p) {
    int run = 0;
    for (const char* q = p - 2; q >= start && isLeadByte(ub(q)); --q) ++run;
    return (run & 1) ? 2 : 1;
}

// Whether p stands at a character start, given that `from` does (from <= p).
inline bool isCharStart(const char* from, const char* p) {
    int run = 0;
    for (const char* q = p - 1; q >= from && isLeadByte(ub(q)); --q) ++run;
    return (run & 1) == 0;
}

// Code of the character at p (p < end): the byte, or (lead << 8) | trail.
inline int forwardCode(const char* p, const char* end, int* len) {
    *len = forwardCharLen(p, end);
    return *len == 2 ? (ub(p) << 8) | ub(p + 1) : ub(p);
}

inline int backwardCode(const char* start, const char* p, int* len) {
    *len = backwardCharLen(start, p);
    return *len == 2 ? (ub(p - 2) << 8) | ub(p - 1) : ub(p - 1);
}
