#include "gui/screenshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace zz {

namespace {
constexpr int kPollMs = 100;
constexpr qint64 kGiveUpMs = 5000;
} // namespace

void save_picture_when_ready(QWidget& window, Session& session, const QString& path) {
    auto* poll = new QTimer(&window);
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(poll, &QTimer::timeout, &window, [&window, &session, path, poll, clock] {
        if (session.link().status.Label11.get() != "Ready" && clock->elapsed() < kGiveUpMs)
            return;
        poll->stop();
        delete clock;
        const bool saved = window.grab().save(path, "PNG");
        std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save",
                     path.toLocal8Bit().constData());
        QCoreApplication::exit(saved ? 0 : 1);
    });
    poll->start(kPollMs);
}

} // namespace zz
