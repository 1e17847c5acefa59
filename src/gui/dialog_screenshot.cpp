#include "gui/dialog_screenshot.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace zz {

namespace {

constexpr int kPollMs = 100;
constexpr qint64 kGiveUpMs = 5000;
// The dialog's layout settles (scroll areas fit their contents) before the picture (ms).
constexpr int kSettleMs = 300;

void finish(bool saved, const QString& path) {
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save",
                 path.toLocal8Bit().constData());
    QCoreApplication::exit(saved ? 0 : 1);
}

// The modal dialog the opener shows, or else the one it shows beside the window.
QDialog* shown_dialog() {
    if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
        return modal;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

// Runs inside a modal dialog's own event loop, or in the window's for one beside it.
void picture_of_dialog(const QStringList& clicks, const QString& path) {
    QDialog* dialog = shown_dialog();
    if (!dialog) {
        finish(false, path);
        return;
    }
    for (qsizetype k = 1; k < clicks.size(); ++k)
        if (auto* b = dialog->findChild<QAbstractButton*>(clicks[k]))
            b->click();
    QCoreApplication::processEvents();
    const bool saved = dialog->grab().save(path, "PNG");
    dialog->reject();
    finish(saved, path);
}

void open_dialog(QWidget& window, const QStringList& clicks, const QString& path) {
    QTimer::singleShot(kSettleMs, &window, [clicks, path] { picture_of_dialog(clicks, path); });
    if (auto* a = window.findChild<QAction*>(clicks.value(0)))
        a->trigger();
    else if (auto* b = window.findChild<QAbstractButton*>(clicks.value(0)))
        b->click();
}

} // namespace

void save_dialog_picture_when_ready(QWidget& window, Session& session, const QStringList& clicks,
                                    const QString& path) {
    auto* poll = new QTimer(&window);
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(
        poll, &QTimer::timeout, &window, [&window, &session, clicks, path, poll, clock] {
            if (session.link().status.Label11.get() != "Ready" && clock->elapsed() < kGiveUpMs)
                return;
            poll->stop();
            delete clock;
            open_dialog(window, clicks, path);
        });
    poll->start(kPollMs);
}

} // namespace zz
