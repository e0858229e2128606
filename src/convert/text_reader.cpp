#include "convert/text_reader.h"

#include "text/io_file.h"

std::unique_ptr<LSrmBase> openTextReader(std::string_view path) {
    auto file = std::make_unique<LIoFile>();
    if (file->open(path, 'r', false)) return nullptr;
    return file;
}
