// Error numbers and texts of the operating system and the C library.
#pragma once
#include <string>

// The calling thread's last error number (errno).
int lastSystemError();
void setLastSystemError(int code);
// The system's text for an error number (the last error when code is 0);
// empty when the system has none.
std::string systemErrorMessage(int code);
