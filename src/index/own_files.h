// The program's own files under the mirror roots of an index folder: which
// names it writes there (index files, converted texts, the temporary files
// of an unfinished write), and a walk over them that never follows a
// symbolic link. Every clean-up of the index folder goes through this walk,
// so a link placed anywhere below the index folder never leads a deletion
// to a user's files, and a folder is removed only when it is a real folder
// inside the index folder that a deletion emptied.
#pragma once
#include <cstdint>
#include <functional>
#include <string_view>

#include "base/lstr.h"
#include "platform/folder_handle.h"

// "*.qfd" and "*.txt", as the folder walk's masks select them.
bool isIndexFileName(std::string_view name);
bool isConvertedTextName(std::string_view name);
// "*.qfr": the rows file beside an index file.
bool isRowsFileName(std::string_view name);
// "NAME.xxxxxxxx.tmp" (eight lower-case hex digits) where NAME is an index
// file, a rows file or a converted text: the file a write goes to before its rename.
bool isOwnTemporaryName(std::string_view name);
// Temporary files untouched this long belong to no running write.
inline constexpr uint64_t kStaleTemporaryAge = 3600ull * 10000000;  // 100 ns units
// Whether a temporary file written at writeTime is that old now.
bool isStaleTemporary(uint64_t writeTime);

// Whether the file begins like an index file. A "*.qfd" that does not is
// no file of the program's, whatever its name.
bool hasIndexFileHeader(std::string_view path);

// One regular file met by walkOwnFiles.
struct OwnFile {
    const FolderHandle& folder;  // the folder that holds it, for unlinkFile
    const FolderItem& item;      // its name and write time
    const LStr& path;            // its full path
};
enum class OwnFileStep { kKept, kDeleted, kStop };
using OwnFileVisitor = std::function<OwnFileStep(const OwnFile& file)>;

// Visits the regular files under the mirror roots of indexFolder (absolute,
// ending in "/"): a folder's files in byte order, then its subfolders.
// Hidden entries, links and special files are passed over. A folder left
// empty by a kDeleted file is removed. False when a visit returned kStop.
bool walkOwnFiles(const LStr& indexFolder, const OwnFileVisitor& visit);
