#include "app/app_message_sink.h"

#include <QCoreApplication>
#include <QThread>

#include "app/message_box.h"
#include "app/sjis_qstring.h"

void MessageTarget::setResultText(std::function<void(std::string_view)> append) {
    std::lock_guard guard(lock_);
    append_ = std::move(append);
}

void MessageTarget::setBoxParent(QWidget* parent) {
    std::lock_guard guard(lock_);
    boxParent_ = parent;
}

QWidget* MessageTarget::boxParent() const {
    std::lock_guard guard(lock_);
    return boxParent_;
}

void MessageTarget::appendResult(std::string_view text) {
    std::lock_guard guard(lock_);
    if (!append_) return;
    append_(text);
    page_.append(text);
}

LStr MessageTarget::takePage() {
    std::lock_guard guard(lock_);
    LStr page = std::move(page_);
    page_ = LStr();
    return page;
}

LStr messageBoxText(int number, std::string_view text) {
    LStr shown;
    if (number > 0) shown = formatText("#%d: ", number);
    shown.append(text);
    return shown;
}

void AppMessageSink::output(int number, const char*, const char*, std::string_view text) {
    if (conversionQuietCount() > 0) return;
    if (number == 0) {
        target_->appendResult(text);
        return;
    }
    const QString shown = fromSjis(messageBoxText(number, text).view());
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    auto show = [target = target_, shown] { showMessageBox(target->boxParent(), shown); };
    if (QThread::currentThread() == app->thread())
        show();
    else
        QMetaObject::invokeMethod(app, show, Qt::BlockingQueuedConnection);
}
