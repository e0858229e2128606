#include "support/message_service.h"

#include <atomic>
#include <cstdio>

#include "platform/environment.h"
#include "platform/system_error.h"
#include "support/run_context.h"
#include "support/source_position.h"

namespace {

struct ServiceState {
    std::unique_ptr<LMsg> sink;
    int errors = 0;
    char language = 'E';
};

ServiceState& state() {
    static ServiceState s;
    return s;
}

thread_local int quietCount = 0;
thread_local int threadDefects = 0;
thread_local int threadErrors = 0;

LMsg& processSink() {
    std::lock_guard lock(messageLock());
    auto& s = state();
    if (!s.sink) s.sink = std::make_unique<LMsg>();
    return *s.sink;
}

// Hands text to the sink of the calling thread's run, or else to the
// process's sink. The run's sink stays alive until it returns, whatever the
// front end installs meanwhile.
void deliver(int number, const char* position, std::string_view text) {
    const char* kind = messageKindWord(number);
    if (RunContext* context = currentRunContext()) {
        if (std::shared_ptr<LMsg> sink = context->messageSink()) {
            sink->output(number, position, kind, text);
            return;
        }
    }
    processSink().output(number, position, kind, text);
}

}  // namespace

void deliverMessage(int number, const char* position, std::string_view text) {
    deliver(number, position, text);
}

std::recursive_mutex& messageLock() {
    static std::recursive_mutex lock;
    return lock;
}

void LMsg::output(int number, const char* position, const char* kind, std::string_view text) {
    LStr line;
    if (position) line.append(position).append(": ");
    line.append(formatText("%s %d: ", kind, number));
    line.append(text);
    if (number > 0) line.append('\n');
    std::lock_guard lock(messageLock());
    writeStandardError(line);
}

std::unique_ptr<LMsg> installMessageSink(std::unique_ptr<LMsg> sink) {
    std::lock_guard lock(messageLock());
    std::swap(state().sink, sink);
    return sink;
}

LStr formatTextV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[512];
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) return LStr();
    if (n < int(sizeof small)) return LStr(small, n);
    LStr out;
    out.resize(n);
    std::vsnprintf(out.data(), size_t(n) + 1, format, args);
    return out;
}

LStr formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    LStr s = formatTextV(format, args);
    va_end(args);
    return s;
}

const char* messageKindWord(int number) {
    if (number == 0) return "Message";
    if (number < 20000) return "Error";
    if (number < kMsgNote) return "Warning";
    return "Note";
}

int reportText(int number, std::string_view body) {
    LStr text(body);
    if (number == kMsgSystem || number == kMsgSystemWarning)
        text.append(": ").append(systemErrorText(0));
    else if (number == kMsgErrno || number == kMsgErrnoWarning)
        text.append(": ").append(errnoText(0));
    LStr position = positionText();
    if ((number >= 10000 && number < 20000) || (number >= kMsgWarning && number < kMsgNote))
        ++threadDefects;
    deliver(number, position.empty() ? nullptr : position.c_str(), text);
    if (number >= 10000 && number < 20000) {
        ++threadErrors;
        std::lock_guard lock(messageLock());
        ++state().errors;
    }
    return text.length();
}

int reportV(int number, const char* format, va_list args) {
    int saved = lastSystemError();  // formatting must not lose the failed call's error
    LStr text = formatTextV(format, args);
    setLastSystemError(saved);
    return reportText(number, text);
}

int report(int number, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = reportV(number, format, args);
    va_end(args);
    return n;
}

int errorCount() {
    std::lock_guard lock(messageLock());
    return state().errors;
}

int threadDefectCount() {
    return threadDefects;
}

int threadErrorCount() {
    return threadErrors;
}

[[noreturn]] static void endWithInternalError(const LStr& text) {
    LStr line("Internal Error: ");
    line.append(text).append('\n');
    writeStandardError(line);
    exitProcess(2);
}

void internalError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    LStr text = formatTextV(format, args);
    va_end(args);
    endWithInternalError(text);
}

void internalError(int number) {
    endWithInternalError(formatText("%d", number));
}

void setMessageLanguage(char language) {
    std::lock_guard lock(messageLock());
    state().language = language;
}

char messageLanguage() {
    std::lock_guard lock(messageLock());
    return state().language;
}

const char* jaEn(const char* japanese, const char* english) {
    return messageLanguage() == 'J' ? japanese : english;
}

LStr systemErrorText(int code) {
    LStr text(systemErrorMessage(code));
    text.replaceAll("\r", "");
    text.replaceAll("\n", "");
    if (text.empty()) text = "(no message)";
    return text;
}

LStr errnoText(int code) {
    if (code == 0) code = lastSystemError();
    return formatText("errno=%d: %s", code, systemErrorMessage(code).c_str());
}

int conversionQuietCount() {
    return quietCount;
}
ConversionQuiet::ConversionQuiet() {
    ++quietCount;
}
ConversionQuiet::~ConversionQuiet() {
    --quietCount;
}

void debugLog(const char* format, ...) {
    static const bool enabled = environmentVariable("QUILLFIND_DEBUG").has_value();
    if (!enabled) return;
    va_list args;
    va_start(args, format);
    LStr text = formatTextV(format, args);
    va_end(args);
    std::lock_guard lock(messageLock());
    writeStandardError(text);
}

void shutdownMessages() {
    std::lock_guard lock(messageLock());
    state().sink.reset();
    clearPositions();
}
