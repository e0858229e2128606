#include "cli/qf_output.h"

#include <atomic>

#include "platform/system_error.h"
#include "support/stop_flag.h"

namespace {

// The worker writes results while the main thread may write a message, so
// the first failure is kept in atomics; the error number is stored first.
std::atomic<WriteOutcome> firstFailure{WriteOutcome::Written};
std::atomic<int> failureError{0};

}  // namespace

void writeOut(std::string_view bytes) {
    if (firstFailure.load() != WriteOutcome::Written) return;
    const WriteOutcome outcome = writeStandard(StdStream::Out, bytes);
    if (outcome == WriteOutcome::Written) return;
    failureError.store(lastSystemError());
    WriteOutcome expected = WriteOutcome::Written;
    firstFailure.compare_exchange_strong(expected, outcome);
    stopFlag().store(1);
}

void writeErr(std::string_view bytes) {
    (void)writeStandard(StdStream::Err, bytes);
}

WriteOutcome outputOutcome() {
    return firstFailure.load();
}

int outputError() {
    return failureError.load();
}
