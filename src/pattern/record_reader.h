// Reading records from a stream up to a separator pattern: the search run
// cuts files into records with it.
#pragma once
#include <cstdint>

#include "base/lstr.h"
#include "pattern/first_bytes.h"
#include "pattern/nodes/rex.h"

class LSrmBase;

// Appends one record and its separator to record. Returns the separator's
// length, or 0 at the end of the stream or when the record reached maxLen
// bytes (it is then cut after a whole character). The separator is tried
// only where a character starts and, when a table is given, only at bytes
// the table allows; at most peekLen bytes are visible to it.
int32_t readUntilRex(LSrmBase& stream, LRex* separator, int32_t peekLen,
                     const LRexStartTable* table, LStr& record, int32_t maxLen);

// readUntilRex for a separator that matches any run of CR and LF bytes (the
// line separators): the same records, the run measured directly instead of
// by the pattern.
int32_t readLineRecord(LSrmBase& stream, int32_t peekLen, LStr& record, int32_t maxLen);
