#include "common/capture_sink.h"

#include <mutex>

struct CaptureSink::Shared {
    std::mutex lock;
    std::vector<CapturedMessage> messages;
};

namespace {

class RecordingSink : public LMsg {
public:
    explicit RecordingSink(std::shared_ptr<void> shared) : shared_(std::move(shared)) {}
    void output(int number, const char* position, const char* kind, std::string_view text) override;
    std::shared_ptr<void> shared_;
};

}  // namespace

CaptureSink::CaptureSink() : shared_(std::make_shared<Shared>()) {
    previous_ = installMessageSink(std::make_unique<RecordingSink>(shared_));
}

CaptureSink::~CaptureSink() {
    installMessageSink(std::move(previous_));
}

void RecordingSink::output(int number, const char* position, const char* kind,
                           std::string_view text) {
    auto* s = static_cast<CaptureSink::Shared*>(shared_.get());
    std::lock_guard g(s->lock);
    s->messages.push_back({number, position ? position : "", kind, std::string(text)});
}

const std::vector<CapturedMessage>& CaptureSink::messages() const {
    return shared_->messages;
}

std::string CaptureSink::allText() const {
    std::string all;
    for (const auto& m : shared_->messages) all += m.text + "\n";
    return all;
}

void CaptureSink::clear() {
    std::lock_guard g(shared_->lock);
    shared_->messages.clear();
}

Texts texts(const CaptureSink& sink) {
    Texts out;
    for (const auto& m : sink.messages()) out.push_back(m.text);
    return out;
}

Texts numberedTexts(const CaptureSink& sink) {
    Texts out;
    for (const auto& m : sink.messages()) out.push_back(std::to_string(m.number) + " " + m.text);
    return out;
}
