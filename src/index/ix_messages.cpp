// Message lines of the index code.
#include "index/ix_messages.h"

#include <cstdarg>

#include "support/message_service.h"

void ixErrorLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    LStr text = formatTextV(format, args);
    va_end(args);
    report(kMsgPlain,
           "\x01"
           "6 %s\x01"
           "0 \r\n",
           text.c_str());
}
