#include "search/missing_folder.h"

#include "base/lstr.h"
#include "platform/file_system.h"
#include "support/message_service.h"
#include "support/path_utils.h"

bool reportMissingFolder(std::string_view folder, int number) {
    if (pathKind(folder) == kPathFolder) return false;
    report(number, "no such folder: %s", LStr(folder).c_str());
    return true;
}
