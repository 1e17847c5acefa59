#include "gui/screenshot.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

namespace zz {

namespace {
constexpr int kPollMs = 100;
constexpr qint64 kGiveUpMs = 5000;

bool save(QWidget& widget, const QString& path) {
    const bool saved = widget.grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save",
                 path.toLocal8Bit().constData());
    return saved;
}

// Calls `step` every poll until it returns true or the time runs out; `give_up` then runs.
void poll(QWidget& owner, std::function<bool()> step, std::function<void()> give_up) {
    auto* timer = new QTimer(&owner);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, &owner, [timer, clock, step, give_up] {
        if (step())
            timer->stop();
        else if (clock->elapsed() >= kGiveUpMs) {
            timer->stop();
            give_up();
        }
    });
    timer->start(kPollMs);
}

bool ready(Session& session) {
    return session.link().status.Label11.get() == "Ready";
}

void click(QWidget& window, const QString& opener) {
    if (auto* action = window.findChild<QAction*>(opener))
        action->trigger();
    else if (auto* button = window.findChild<QAbstractButton*>(opener))
        button->click();
}

} // namespace

void save_picture_when_ready(QWidget& window, Session& session, const QString& path) {
    const auto shoot = [&window, path] { QCoreApplication::exit(save(window, path) ? 0 : 1); };
    poll(
        window,
        [&session, shoot] {
            if (!ready(session))
                return false;
            shoot();
            return true;
        },
        shoot);
}

void save_dialog_picture_when_ready(QWidget& window, Session& session, const QString& opener,
                                    const QString& path) {
    const auto shoot_dialog = [&window, path] {
        poll(
            window,
            [path] {
                QWidget* dialog = QApplication::activeModalWidget();
                if (!dialog)
                    return false;
                const bool saved = save(*dialog, path);
                dialog->close();
                QCoreApplication::exit(saved ? 0 : 1);
                return true;
            },
            [] {
                std::fprintf(stderr, "no dialog opened\n");
                QCoreApplication::exit(1);
            });
    };
    const auto open = [&window, opener, shoot_dialog] {
        shoot_dialog();
        // Opened from the event loop: the dialog's own loop then runs the poll above.
        QTimer::singleShot(0, &window, [&window, opener] { click(window, opener); });
    };
    poll(
        window,
        [&session, open] {
            if (!ready(session))
                return false;
            open();
            return true;
        },
        open);
}

} // namespace zz
