// dlopen/dlsym over the folders a module may be installed in.
#include "platform/loadable_module.h"

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "base/lstr.h"
#include "platform/file_system.h"
#include "platform/path_encoding.h"

#ifndef QF_MODULE_DIR
#define QF_MODULE_DIR "/usr/local/lib/quillfind"
#endif

namespace {

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

void* openModule(const std::string& name) {
    std::vector<std::string> folders;
    LStr exe;
    if (fsExecutablePath(exe)) {
        std::string folder = folderOf(toSystemPath(exe.view()));
        for (int up = 0; up < 3 && !folder.empty(); ++up) {
            folders.push_back(folder);
            folder = folderOf(folder);
        }
    }
    folders.push_back(QF_MODULE_DIR);
    for (const std::string& folder : folders) {
        const std::string path = folder + "/" + name;
        if (void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
    }
    return nullptr;
}

// Modules are looked for in the program's folders, system libraries by the
// dynamic linker; each is opened once.
void* symbolOf(std::string_view name, const char* symbol, bool systemLibrary) {
    static std::mutex lock;
    static std::map<std::string, void*, std::less<>> handles;
    const std::lock_guard<std::mutex> guard(lock);
    auto it = handles.find(name);
    if (it == handles.end()) {
        const std::string file(name);
        void* handle =
            systemLibrary ? ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL) : openModule(file);
        it = handles.emplace(file, handle).first;
    }
    return it->second ? ::dlsym(it->second, symbol) : nullptr;
}

}  // namespace

void* moduleSymbol(std::string_view name, const char* symbol) {
    return symbolOf(name, symbol, false);
}

void* librarySymbol(std::string_view soname, const char* symbol) {
    return symbolOf(soname, symbol, true);
}
