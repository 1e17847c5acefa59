#include "gui/auto_screenshot.h"

#include "link/link_texts.h"
#include "ops/auto_program.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace zz {

namespace {

constexpr int kPollMs = 20;
QElapsedTimer stop_clicked; // how long the loop takes to end after Stop

bool save(QWidget& widget, const QString& path) {
    const bool saved = widget.grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save",
                 path.toLocal8Bit().constData());
    return saved;
}

int passes(const Session& s) {
    const std::string& text = s.statistics.lab_pass.get();
    return std::stoi(text.substr(text.find(':') + 1));
}

// Waits for the chips, then pictures the window and stops the loop.
void watch_the_run(QWidget& window, Session& session, int chips, const QString& path) {
    auto* watch = new QTimer(&window);
    QObject::connect(watch, &QTimer::timeout, &window, [&window, &session, chips, path, watch] {
        if (passes(session) < chips ||
            session.link().status.Label11.get() != texts::kWaitingForRemoval)
            return;
        watch->stop();
        save(window, path);
        stop_clicked.start();
        window.findChild<QAbstractButton*>(QStringLiteral("Button10"))->click();
    });
    watch->start(kPollMs);
}

} // namespace

void save_auto_program_pictures(QWidget& window, Session& session, const QStringList& run,
                                const QString& path) {
    const int chips = std::max(1, run.value(0).toInt());
    const QString stopped = run.value(1);
    // The arming messages, and any other, are answered at once.
    auto* dismiss = new QTimer(&window);
    QObject::connect(dismiss, &QTimer::timeout, &window, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });
    dismiss->start(kPollMs);
    auto* ready = new QTimer(&window);
    QObject::connect(
        ready, &QTimer::timeout, &window, [&window, &session, chips, path, stopped, ready] {
            if (session.link().status.Label11.get() != texts::kReady)
                return;
            ready->stop();
            window.findChild<QAction*>(QStringLiteral("N_autoprog"))->trigger();
            watch_the_run(window, session, chips, path);
            // The loop runs inside this click until the watch stops it.
            window.findChild<QAbstractButton*>(QStringLiteral("Button10"))->click();
            std::fprintf(stderr, "ended %lld ms after Stop: %s %s, %s, Button10 \"%s\"\n",
                         static_cast<long long>(stop_clicked.elapsed()),
                         session.statistics.lab_pass.get().c_str(),
                         session.statistics.lab_error.get().c_str(),
                         session.link().status.Label11.get().c_str(),
                         session.controls.Button10_caption.get().c_str());
            const bool saved = stopped.isEmpty() || save(window, stopped);
            QCoreApplication::exit(saved ? 0 : 1);
        });
    ready->start(kPollMs);
}

} // namespace zz
