#include "search/status_sink.h"

#include <cstdarg>

#include "support/message_service.h"

void setStatus(int part, std::string_view text) {
    if (RunContext* context = currentRunContext()) context->setStatus(part, text);
}

void setStatusF(int part, const char* format, ...) {
    if (!currentRunContext()) return;
    va_list args;
    va_start(args, format);
    LStr text = formatTextV(format, args);
    va_end(args);
    setStatus(part, text);
}
