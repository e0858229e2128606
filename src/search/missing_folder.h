// A folder to search that does not exist: the search passes over it in
// silence, so the front ends say so before it starts (the other folders are
// still searched).
#pragma once
#include <string_view>

// Reports "no such folder" with the given message number unless the folder
// exists; returns whether it was missing.
bool reportMissingFolder(std::string_view folder, int number);
