// The status texts of the index code.
#include "index/ix_status.h"

#include <cstdarg>

#include "support/message_service.h"
#include "support/run_context.h"

void ixStatus(int part, std::string_view text) {
    if (RunContext* context = currentRunContext()) context->setStatus(part, text);
}

void ixStatusF(int part, const char* format, ...) {
    if (!currentRunContext()) return;
    va_list args;
    va_start(args, format);
    LStr text = formatTextV(format, args);
    va_end(args);
    ixStatus(part, text);
}
