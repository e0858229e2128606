// Pieces every fuzz target shares: a message sink that drops everything (the
// readers report damage by the thousand), cutting an input into parts, and a
// scratch file for readers that only take a path.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "support/message_service.h"

namespace fuzz {

class SilentSink : public LMsg {
public:
    void output(int, const char*, const char*, std::string_view) override {}
};

// Installs the silent sink on the first call.
inline void quietMessages() {
    static bool installed = [] {
        installMessageSink(std::make_unique<SilentSink>());
        return true;
    }();
    (void)installed;
}

inline std::string_view asText(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Takes the text up to the first `cut` byte from input (all of it when there
// is none) and leaves the rest after that byte.
inline std::string_view takeUntil(std::string_view& input, char cut) {
    const size_t at = input.find(cut);
    std::string_view head = input.substr(0, at);
    input = at == std::string_view::npos ? std::string_view() : input.substr(at + 1);
    return head;
}

// Takes the first byte as a number (0 when the input is empty).
inline unsigned takeByte(std::string_view& input) {
    if (input.empty()) return 0;
    const unsigned b = static_cast<unsigned char>(input[0]);
    input.remove_prefix(1);
    return b;
}

// One file in a folder of this process under the temporary folder, rewritten
// for each input; the folder goes when the process ends normally.
class ScratchFile {
public:
    explicit ScratchFile(const char* name) {
        const char* base = std::getenv("TMPDIR");
        folder_ = std::filesystem::path(base && *base ? base : "/tmp") /
                  ("qf-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / name).string();
    }
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    const std::string& write(std::string_view bytes) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), std::streamsize(bytes.size()));
        return path_;
    }

private:
    std::filesystem::path folder_;
    std::string path_;
};

}  // namespace fuzz
