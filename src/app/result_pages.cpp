#include "app/result_pages.h"

void ResultPages::file(ResultPage page) {
    while (int(pages_.size()) >= limit_) pages_.erase(pages_.begin());
    pages_.push_back(std::move(page));
    shown_ = int(pages_.size()) - 1;
}

const ResultPage* ResultPages::previous() {
    if (!hasPrevious()) return nullptr;
    return &pages_[size_t(--shown_)];
}

const ResultPage* ResultPages::next() {
    if (!hasNext()) return nullptr;
    return &pages_[size_t(++shown_)];
}
