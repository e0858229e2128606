// The status hook of the index code.
#include "index/ix_status.h"

#include <atomic>
#include <cstdarg>

#include "support/message_service.h"

namespace {

std::atomic<IxStatusHook>& installedHook() {
    static std::atomic<IxStatusHook> hook{nullptr};
    return hook;
}

}  // namespace

IxStatusHook setIxStatusHook(IxStatusHook hook) {
    return installedHook().exchange(hook);
}

void ixStatus(int part, std::string_view text) {
    if (IxStatusHook hook = installedHook().load()) hook(part, text);
}

void ixStatusF(int part, const char* format, ...) {
    if (!installedHook().load()) return;
    va_list args;
    va_start(args, format);
    LStr text = formatTextV(format, args);
    va_end(args);
    ixStatus(part, text);
}
