#include "common/temp_dir.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "quillfind-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed: " + pattern);
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::path(std::string_view relativePath) const {
    return path_ + "/" + std::string(relativePath);
}

std::string TempDir::write(std::string_view relativePath, std::string_view bytes) const {
    std::string full = path(relativePath);
    fs::create_directories(fs::path(full).parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + full);
    return full;
}

std::string TempDir::read(std::string_view relativePath) const {
    std::ifstream in(path(relativePath), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempDir::exists(std::string_view relativePath) const {
    std::error_code ec;
    return fs::exists(path(relativePath), ec);
}

void setWriteTime(const std::string& path, int64_t seconds, int64_t nanoseconds) {
    const auto since = std::chrono::sys_seconds(std::chrono::seconds(seconds)) +
                       std::chrono::nanoseconds(nanoseconds);
    fs::last_write_time(path, std::chrono::file_clock::from_sys(since));
}
