// A shared library loaded at run time (dlopen), looked for beside the
// program, one and two folders above it (the test and desktop programs of a
// build tree) and in the installed module folder. It stays loaded for the
// rest of the process: code from it may still be running in other threads.
#pragma once
#include <optional>
#include <string_view>

// The address of symbol in the module file name, loading the module on
// first use; null when the module or the symbol is not found. Thread-safe.
void* moduleSymbol(std::string_view name, const char* symbol);
// The same for a library of the system, found by its soname as the dynamic
// linker finds it.
void* librarySymbol(std::string_view soname, const char* symbol);

// Points fn at symbol of the system library soname; false when missing.
template <class Fn>
bool bindLibrarySymbol(std::string_view soname, const char* symbol, Fn& fn) {
    fn = reinterpret_cast<Fn>(librarySymbol(soname, symbol));
    return fn != nullptr;
}

// The functions of one system library, bound by bind on first use and kept
// for the process; null when the library or one of them is missing.
template <class Calls>
const Calls* libraryCalls(std::string_view soname, bool (*bind)(std::string_view, Calls&)) {
    static const std::optional<Calls> calls = [&]() -> std::optional<Calls> {
        Calls bound{};
        if (bind(soname, bound)) return bound;
        return std::nullopt;
    }();
    return calls ? &*calls : nullptr;
}
