// Which files are converted before they are searched: RTF through the RTF
// reader, office documents and PDF through their document filters, each into
// a converted text under the index folder that is reused while current.
// Plain-text extensions and files no filter reads are searched as they are.
#pragma once
#include <cstdint>
#include <string_view>

#include "base/lstr.h"
#include "text/buffered_stream.h"

struct ConversionOptions {
    LStr indexFolder;            // converted texts live below it; empty: none are made
    bool keepConverted = true;   // converted texts stay after the search
    bool useOffice2003 = false;  // .doc and .xls go to the office converter first
    bool autoDetect = true;      // BOM-less UTF-8 and EUC-JP texts are decoded
    // Makes the index folder, marked as the program's own, before the first
    // converted text goes into it; without the mark the clean-up would never
    // touch the folder.
    bool (*prepareIndexFolder)(std::string_view indexFolder) = nullptr;
    // The converted text of a dictionary body, or empty when path is none;
    // the dictionary converter sits above this layer, so it comes in here.
    LStr (*convertDictionary)(std::string_view path, const ConversionOptions& options) = nullptr;
    int32_t dictionaryMaxBytes = 0;  // body bytes read per dictionary section, 0 for all
};

// For the document at path, whose stream file stands at its start: the path
// of the current converted text to read instead (converting first when
// needed), or empty when the file is read as it is.
LStr convertDocument(std::string_view path, LSrmBase& file, const ConversionOptions& options);

// Conversions run by this process (converted texts written), for tests.
int64_t documentConversionCount();
