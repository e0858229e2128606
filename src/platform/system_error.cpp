#include "platform/system_error.h"

#include <cerrno>
#include <cstring>

int lastSystemError() {
    return errno;
}

void setLastSystemError(int code) {
    errno = code;
}

std::string systemErrorMessage(int code) {
    if (code == 0) code = errno;
    if (code == 0) return {};
    char buf[256];
    // GNU strerror_r may return a static string instead of filling buf.
    const char* text = strerror_r(code, buf, sizeof buf);
    return text ? std::string(text) : std::string();
}
