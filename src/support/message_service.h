// The message service. Every error, warning and note goes through report():
// the number's range decides the kind word and which counter rises, the
// calling thread's source position (when one is pushed) is attached, and a
// sink shows the message: the one of the run context installed on the
// calling thread, else the process's sink. Front ends install their own; the
// basic one writes to standard error. Errors are reported, never thrown.
#pragma once
#include <cstdarg>
#include <memory>
#include <mutex>
#include <string_view>

#include "base/lstr.h"

// Message numbers in use.
enum MessageNumber : int {
    kMsgPlain = 0,            // a plain message line
    kMsgCommandLine = 10000,  // command-line errors
    kMsgGeneral = 15000,      // general errors of the program's own checks
    kMsgSyntax = 15001,       // configuration and settings-file syntax errors
    kMsgSystem = 17000,       // failed system call; the system's text is appended
    kMsgErrno = 17100,        // failed C-library call; the errno text is appended
    kMsgOffice = 17200,       // office automation errors
    kMsgSearchNote = 30000,   // notes of the search run
    kMsgWarning = 35000,      // general warnings
    kMsgPattern = 35001,      // illegal regular expression
    kMsgConvert7 = 35007,     // conversion warnings
    kMsgConvert9 = 35009,
    kMsgSystemWarning = 37000,  // failed system call, reported as a warning
    kMsgErrnoWarning = 37100,   // failed C-library call, reported as a warning
    kMsgNote = 39999,           // first note number
};

// A message sink. The basic implementation writes
// "[position: ]Kind number: text\n" to standard error.
class LMsg {
public:
    virtual ~LMsg() = default;
    // position is null when no source position is set.
    virtual void output(int number, const char* position, const char* kind, std::string_view text);
};

// Installs the process's sink, for messages outside any run context, and
// returns the previous one (null when none was made yet).
std::unique_ptr<LMsg> installMessageSink(std::unique_ptr<LMsg> sink);

// Reports a message; returns the length of its text.
int report(int number, const char* format, ...) __attribute__((format(printf, 2, 3)));
int reportV(int number, const char* format, va_list args);
int reportText(int number, std::string_view text);
// Hands a message that was reported before (and held back) to the sink of
// the calling thread's run, without counting it again.
void deliverMessage(int number, const char* position, std::string_view text);

// "Message", "Error", "Warning" or "Note" for a message number.
const char* messageKindWord(int number);

int errorCount();
// Errors and warnings reported from the calling thread so far; a caller
// compares two readings to learn whether its own step reported a defect.
int threadDefectCount();
// Errors alone, as threadDefectCount: a step that must not fail on errors
// other threads report at the same time compares two of these readings.
int threadErrorCount();

// Internal errors of the program: "Internal Error: " + text on standard
// error, then the process ends with exit code 2.
[[noreturn]] void internalError(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void internalError(int number);

// 'J' (Japanese) or 'E' (English); 'E' until the application sets it.
void setMessageLanguage(char language);
char messageLanguage();
// The Japanese or the English text by the current message language.
const char* jaEn(const char* japanese, const char* english);

// "(no message)" when the system has no text; CR and LF removed.
LStr systemErrorText(int code = 0);
// "errno=%d: %s" for the given (or the current) errno.
LStr errnoText(int code = 0);

// The one process-wide message lock (counters, positions, console, threads).
std::recursive_mutex& messageLock();

// While a file is converted, sinks that show messages to the user drop them.
// The count is the calling thread's: a conversion silences only its own
// thread.
int conversionQuietCount();
class ConversionQuiet {
public:
    ConversionQuiet();
    ~ConversionQuiet();
    ConversionQuiet(const ConversionQuiet&) = delete;
    ConversionQuiet& operator=(const ConversionQuiet&) = delete;
};

// Debug log to standard error, only when QUILLFIND_DEBUG is set.
void debugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// printf into an LStr.
LStr formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
LStr formatTextV(const char* format, va_list args);

// Destroys the process's sink and the calling thread's position stack
// (program end).
void shutdownMessages();
