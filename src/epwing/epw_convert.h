// Converting a dictionary body (HONMON) into the Shift-JIS text the search
// reads: a header naming the body, its settings file and the record
// separator and display replacement the search uses, the copyright text,
// then every body section with one record per entry. The text lives under
// the index folder at the mirror of the body path plus ".txt" and is made
// again only when the body or a settings file that applies is newer.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "convert/conversion_dispatch.h"

// The path of the current converted text of a dictionary body, converting
// first when needed; empty when path is no dictionary body, the conversion
// failed or was stopped (no partial text is left).
LStr convertEpwingBody(std::string_view path, const ConversionOptions& options);

// The same with the settings folders given (tests).
LStr convertEpwingBody(std::string_view path, const ConversionOptions& options,
                       const std::vector<LStr>& settingsFolders);

// Whether the text of body is current against it and the settings files.
bool epwingTextIsCurrent(std::string_view body, std::string_view text,
                         const std::vector<LStr>& settingsFolders);

// Writes the converted text of body to text (through a temporary file);
// false when it could not be written or was stopped.
bool writeEpwingText(std::string_view body, std::string_view text,
                     const std::vector<LStr>& settingsFolders, int32_t maxBytes);

// Conversions done by this process, for tests.
int64_t epwingConversionCount();
