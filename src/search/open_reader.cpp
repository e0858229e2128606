// Opening a file for search. Every strategy opens its files here, so this is
// where a document or another encoding is turned into searchable text.
#include "search/open_reader.h"

#include "convert/text_reader.h"
#include "search/display_base.h"
#include "search/status_sink.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "support/source_position.h"

void TReader::close() {
    if (positionPushed_) popPosition();
    positionPushed_ = false;
    stream_.reset();
    if (!convertedPath_.empty() && !keepConverted_) {
        debugLog("removed %s\n", convertedPath_.c_str());
        removeFile(convertedPath_.view(), false);
    }
    convertedPath_.clear();
    fieldTitles.clear();
}

bool openReader(TReader& reader, const LStr& path, std::string_view displayBase, bool indexMode,
                const ConversionOptions& conversion, const LineNeedles* lineNeedles) {
    reader.close();
    // The path shows while a document is converted, too.
    setStatusF(1, "%s%s", indexMode ? "! " : "", path.c_str());
    // The index builder opens files the same way, so block offsets refer to
    // the very text read here.
    LStr converted;
    // In index mode only the admitted blocks are read.
    std::unique_ptr<LSrmBase> file = openTextReader(path.view(), conversion, &converted,
                                                    indexMode ? nullptr : lineNeedles, indexMode);
    if (!file) return false;
    reader.convertedPath_ = std::move(converted);
    reader.keepConverted_ = conversion.keepConverted;
    reader.stream_ = std::move(file);
    reader.displayName_ = displayPath(path.view(), displayBase);
    reader.recordLine_ = 1;
    pushPosition(reader.displayName_.view(), &reader.recordLine_);
    reader.positionPushed_ = true;
    return true;
}
