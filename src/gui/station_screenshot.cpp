#include "gui/station_screenshot.h"

#include "gui/board_panel_widget.h"
#include "gui/station_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace zz {

namespace {

constexpr int kPollMs = 50;
constexpr qint64 kGiveUpMs = 120000; // a board that never gets there

bool every_board(const StationWindow& window, const std::function<bool(const BoardPanel&)>& is) {
    const std::vector<std::string> ports = window.boards();
    return !ports.empty() && std::all_of(ports.begin(), ports.end(), [&](const std::string& p) {
        const BoardPanelWidget* panel = window.panel(p);
        return panel && is(panel->panel());
    });
}

bool save(StationWindow& window, const QString& path) {
    const bool saved = window.grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save",
                 path.toLocal8Bit().constData());
    return saved;
}

// Calls `then` once `ready` holds, polling; gives up (status 1) after kGiveUpMs.
void when(StationWindow& window, std::function<bool()> ready, std::function<void()> then) {
    auto* poll = new QTimer(&window);
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(poll, &QTimer::timeout, &window, [poll, clock, ready, then] {
        if (ready()) {
            poll->deleteLater();
            delete clock;
            then();
        } else if (clock->elapsed() > kGiveUpMs) {
            std::fprintf(stderr, "the boards did not get there\n");
            QCoreApplication::exit(1);
        }
    });
    poll->start(kPollMs);
}

void trigger(StationWindow& window, const char* item) {
    window.findChild<QAction*>(QString::fromLatin1(item))->trigger();
}

} // namespace

void save_station_pictures(StationWindow& window, const QStringList& run, const QString& path) {
    const int chips = run.value(0).toInt();
    const auto ready = [&window] {
        return every_board(window, [](const BoardPanel& p) { return p.phase == BoardPhase::ready; });
    };
    if (chips <= 0) {
        when(window, ready, [&window, path] { QCoreApplication::exit(save(window, path) ? 0 : 1); });
        return;
    }
    when(window, ready, [&window, chips, path] {
        trigger(window, "N_autoprog");
        const auto passed = [&window, chips] {
            return every_board(window, [chips](const BoardPanel& p) { return p.passed >= chips; });
        };
        when(window, passed, [&window, path] {
            const bool saved = save(window, path);
            trigger(window, "N_stopall");
            std::fprintf(stderr, "%s\n", window.status_text().toLocal8Bit().constData());
            const auto idle = [&window] {
                return every_board(window, [](const BoardPanel& p) { return !p.auto_running; });
            };
            when(window, idle, [saved] { QCoreApplication::exit(saved ? 0 : 1); });
        });
    });
}

} // namespace zz
