#include "app/status_bar_sink.h"

#include <QLabel>
#include <QPointer>

#include "app/sjis_qstring.h"

StatusBarSink::StatusBarSink(std::array<QLabel*, kParts> labels, QObject* parent)
    : QObject(parent), labels_(labels) {}

void StatusBarSink::setStatus(int part, std::string_view text) {
    if (part < 1 || part > kParts) return;
    std::lock_guard guard(lock_);
    texts_[size_t(part - 1)].assign(text);
    changed_[size_t(part - 1)] = true;
    if (posted_) return;
    posted_ = true;
    QMetaObject::invokeMethod(this, &StatusBarSink::update, Qt::QueuedConnection);
}

void StatusBarSink::update() {
    std::array<std::string, kParts> texts;
    std::array<bool, kParts> changed;
    {
        std::lock_guard guard(lock_);
        texts = texts_;
        changed = changed_;
        changed_ = {};
        posted_ = false;
    }
    for (size_t i = 0; i < size_t(kParts); ++i)
        if (changed[i] && labels_[i]) labels_[i]->setText(fromSjis(texts[i]));
}
