#include "cli/qf_output.h"

#include <atomic>
#include <mutex>
#include <string>

#include "platform/system_error.h"
#include "support/stop_flag.h"

namespace {

// The worker writes results while the main thread may write a message, so
// the first failure is kept in atomics; the error number is stored first.
std::atomic<WriteOutcome> firstFailure{WriteOutcome::Written};
std::atomic<int> failureError{0};

// Output to a file or a pipe is gathered into blocks, as grep does, rather
// than written line by line; a terminal gets every line at once.
constexpr size_t kBlockSize = 64 * 1024;
std::mutex pendingLock;
std::string pending;

void writeNow(std::string_view bytes) {
    if (bytes.empty() || firstFailure.load() != WriteOutcome::Written) return;
    const WriteOutcome outcome = writeStandard(StdStream::Out, bytes);
    if (outcome == WriteOutcome::Written) return;
    failureError.store(lastSystemError());
    WriteOutcome expected = WriteOutcome::Written;
    firstFailure.compare_exchange_strong(expected, outcome);
    stopFlag().store(1);
}

void flushPending() {
    writeNow(pending);
    pending.clear();
}

}  // namespace

void writeOut(std::string_view bytes) {
    static const bool lineByLine = isTerminal(StdStream::Out);
    const std::lock_guard<std::mutex> guard(pendingLock);
    if (lineByLine || pending.size() + bytes.size() > kBlockSize) flushPending();
    if (lineByLine || bytes.size() >= kBlockSize)
        writeNow(bytes);
    else
        pending.append(bytes);
}

void flushOut() {
    const std::lock_guard<std::mutex> guard(pendingLock);
    flushPending();
}

// What was written to stdout comes first, as it would unbuffered.
void writeErr(std::string_view bytes) {
    flushOut();
    (void)writeStandard(StdStream::Err, bytes);
}

WriteOutcome outputOutcome() {
    flushOut();
    return firstFailure.load();
}

int outputError() {
    return failureError.load();
}
