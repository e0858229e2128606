#include "app/message_box.h"

#include <QMessageBox>

namespace {

QString& caption() {
    static QString text = QStringLiteral("Velo Software Ltd.");
    return text;
}

MessageBoxHook& hook() {
    static MessageBoxHook current;
    return current;
}

QMessageBox::StandardButton showBox(QWidget* parent, const QString& text,
                                    QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::Question, caption(), text, buttons, parent);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return QMessageBox::StandardButton(box.exec());
}

}  // namespace

void setMessageBoxCaption(const QString& text) {
    caption() = text;
}

QString messageBoxCaption() {
    return caption();
}

void showMessageBox(QWidget* parent, const QString& text) {
    if (hook()) {
        hook()(BoxKind::Message, text);
        return;
    }
    showBox(parent, text, QMessageBox::Ok);
}

bool askYesNo(QWidget* parent, const QString& text) {
    if (hook()) return hook()(BoxKind::Question, text);
    return showBox(parent, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void setMessageBoxHook(MessageBoxHook newHook) {
    hook() = std::move(newHook);
}
