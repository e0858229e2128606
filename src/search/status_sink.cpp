#include "search/status_sink.h"

#include <cstdarg>
#include <mutex>

#include "support/message_service.h"

namespace {

std::unique_ptr<StatusSink>& installed() {
    static std::unique_ptr<StatusSink> sink;
    return sink;
}

}  // namespace

std::unique_ptr<StatusSink> installStatusSink(std::unique_ptr<StatusSink> sink) {
    std::lock_guard lock(messageLock());
    std::swap(installed(), sink);
    return sink;
}

void setStatus(int part, std::string_view text) {
    StatusSink* sink;
    {
        std::lock_guard lock(messageLock());
        sink = installed().get();
    }
    if (sink) sink->setStatus(part, text);
}

void setStatusF(int part, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LStr text = formatTextV(format, args);
    va_end(args);
    setStatus(part, text);
}
