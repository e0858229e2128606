// The window signature starts empty: it lacks every bit of the string.
#include "search/fuzzy_window.h"

WindowSignature::WindowSignature(const GramSignature& key) : key_(key), missing_(key.count()) {}
