// Result-text output through the message sink.
#include "search/search_output.h"

#include <cstdarg>

#include "search/font_markers.h"
#include "support/message_service.h"

void outputText(std::string_view text) {
    reportText(kMsgPlain, text);
}

void outputFormatted(const char* format, ...) {
    va_list args;
    va_start(args, format);
    LStr text = formatTextV(format, args);
    va_end(args);
    outputText(text);
}

LStr messageLine(std::string_view message) {
    LStr line;
    line.reserve(int32_t(message.size()) + 10);
    appendMarker(line, kFontMsg);
    line.append(message);
    appendMarker(line, kFontEnd);
    line.append("\r\n");
    return line;
}

void outputMessageText(std::string_view message) {
    outputText(messageLine(message));
}

void outputMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    LStr text = formatTextV(format, args);
    va_end(args);
    outputMessageText(text);
}
