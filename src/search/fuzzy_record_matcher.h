// The fuzzy record test and hit collection of a search run, as the record
// tester's plug-in.
#pragma once
#include <memory>

#include "search/record_test.h"
#include "search/search_keys.h"

struct TSchStr;

// A fuzzy matcher for one compiled search string of a run. The tester uses
// it only while the string stays fuzzy (it still has its signature).
std::unique_ptr<FuzzyRecordMatcher> makeFuzzyRecordMatcher(const SearchKeys& keys,
                                                           const TSchStr& str);
