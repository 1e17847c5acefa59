#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace zz::test {

// What a modal dialog showed while it was open.
struct OpenedDialog {
    QString name;  // object name; empty when none opened
    QString title; // window title
};

// Runs `open` (a click that shows a modal dialog), lets `inspect` look at the dialog while its
// own loop runs, then closes it. Returns at once when `open` shows nothing modal.
inline OpenedDialog with_modal_dialog(const std::function<void()>& open,
                                      const std::function<void(QDialog&)>& inspect = {}) {
    OpenedDialog seen;
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QPointer<QDialog> dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        watch.stop();
        seen = {dialog->objectName(), dialog->windowTitle()};
        if (inspect)
            inspect(*dialog);
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    watch.start();
    open();
    watch.stop();
    return seen;
}

} // namespace zz::test
