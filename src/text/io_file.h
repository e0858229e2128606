// LIoFile: the buffered file stream the program opens files with. It owns its
// LFile; a written file keeps Ctrl-C ignored while it is open, and everything
// buffered is written out when the stream is closed or destroyed.
#pragma once
#include <string_view>

#include "text/buffered_stream.h"
#include "text/file_stream.h"
#include "text/read_ahead.h"

class LIoFile : public LSrm {
public:
    // A closed stream; open() gives it a file.
    LIoFile();
    // Opens at once; see open().
    LIoFile(std::string_view path, char mode, bool report);
    ~LIoFile() override;

    // Writes out and closes the file held before, then opens path with the
    // modes of LFile ('r', 'w', 'a'; 'a' continues at the end of the file)
    // and starts at line 1. Returns whether the file is open (with report,
    // a failure is reported as message 17000 naming the path).
    bool open(std::string_view path, char mode, bool report);
    // Writes out the buffer, then ends the file at position (a negative one
    // means the read position), which becomes the read position.
    void truncate(int64_t position = -1) override;
    // The path.
    const char* name() const override { return file_.name(); }

    const LFile& file() const { return file_; }
    // See LReadAhead::expectJumps.
    void expectJumps() { ahead_.expectJumps(); }

private:
    LFile file_;
    LReadAhead ahead_{file_};  // the stream the buffer reads and writes through
};
