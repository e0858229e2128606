// A private folder for the files of one piece of work (a profile, the
// output of another program), made under $TMPDIR (else /tmp) and removed
// with everything in it when the object goes. Links inside are removed, never
// followed.
#pragma once
#include <string>
#include <string_view>

class ScratchFolder {
public:
    // prefix: the start of the folder's name, e.g. "quillfind-office-".
    explicit ScratchFolder(std::string_view prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // False when the folder could not be made.
    bool made() const { return !path_.empty(); }
    // The folder in the system's encoding, without a trailing "/".
    const std::string& path() const { return path_; }
    // Makes name inside the folder a symbolic link to target (a Shift-JIS
    // path, relative ones taken against the working folder), so another
    // program can be given a plain name for a file of any name.
    bool link(std::string_view name, std::string_view target) const;

private:
    std::string path_;
};

// Removes path and, for a folder, everything below it without following
// links. A path that is not there counts as removed.
bool removeTree(const std::string& systemPath);
