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

void save_picture_when_ready(QWidget& window, Session& session, const QString& path,
                             std::function<QPixmap()> picture) {
    auto* poll = new QTimer(&window);
    auto* clock = new QElapsedTimer;
    clock->start();
    if (!picture)
        picture = [&window] { return window.grab(); };
    QObject::connect(poll, &QTimer::timeout, &window, [&session, path, poll, clock, picture] {
        if (session.link().status.Label11.get() != "Ready" && clock->elapsed() < kGiveUpMs)
            return;
        poll->stop();
        delete clock;
        const bool saved = picture().save(path, "PNG");
        std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save",
                     path.toLocal8Bit().constData());
        QCoreApplication::exit(saved ? 0 : 1);
    });
    poll->start(kPollMs);
}

} // namespace zz
