// Helpers of the widget tests: waiting with the event loop running, and
// answering the modal dialog that a command opens.
#pragma once
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <functional>

#include "common/time_factor.h"

// Runs the event loop until done() holds or the time is up; whether it held.
inline bool waitUntil(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms * kTimeFactor) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// Once a modal dialog is up, calls act(dialog) on it (retrying until one is).
inline void whenModal(std::function<void(QDialog*)> act) {
    QTimer::singleShot(10, [act = std::move(act)] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            act(dialog);
        else
            whenModal(act);
    });
}

// Presses OK (or accepts) the modal dialog once it is up.
inline void pressOkWhenModal() {
    whenModal([](QDialog* dialog) {
        auto* box = dialog->findChild<QDialogButtonBox*>();
        if (box && box->button(QDialogButtonBox::Ok))
            box->button(QDialogButtonBox::Ok)->click();
        else
            dialog->accept();
    });
}
