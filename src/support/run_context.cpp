// The run context and its per-thread installation.
#include "support/run_context.h"

namespace {

thread_local RunContext* threadContext = nullptr;

}  // namespace

RunContext::RunContext(std::shared_ptr<RunContext> run)
    : run_(std::move(run)), flag_(&run_->stopFlag()) {}

void RunContext::setMessageSink(std::shared_ptr<LMsg> sink) {
    std::lock_guard lock(lock_);
    messages_ = std::move(sink);
}

std::shared_ptr<LMsg> RunContext::messageSink() const {
    std::lock_guard lock(lock_);
    return messages_;
}

void RunContext::setStatusSink(std::shared_ptr<StatusSink> sink) {
    std::lock_guard lock(lock_);
    status_ = std::move(sink);
}

std::shared_ptr<StatusSink> RunContext::statusSink() const {
    std::lock_guard lock(lock_);
    return status_;
}

void RunContext::setStatus(int part, std::string_view text) const {
    if (run_) return run_->setStatus(part, text);
    std::shared_ptr<StatusSink> sink = statusSink();
    if (!sink) return;
    std::lock_guard lock(statusLock_);
    sink->setStatus(part, text);
}

RunContext* currentRunContext() {
    return threadContext;
}

RunContextScope::RunContextScope(std::shared_ptr<RunContext> context)
    : context_(std::move(context)), previous_(threadContext) {
    threadContext = context_.get();
}

RunContextScope::~RunContextScope() {
    threadContext = previous_;
}
