// The station view in real time: N virtual boards (default 4) in Auto Program, each with a person
// changing its chips (300 ms, 300 ms), while a watchdog on the window's event loop measures its
// longest stall. Under pg_virtualenv (PGPORT set, the cluster known to pg_ctlcluster) the records
// database is PostgreSQL and its server is stopped for 10 s and started again mid-run, with the
// records view open; elsewhere it is a SQLite file and nothing is stopped. Prints figures only.
//
// Usage: bench_window_stall [BOARDS] (1 to 16)
#include "dialogs/boards/boards_model.h"
#include "device/chip_database.h"
#include "files/hex_export.h"
#include "gui/board_panel_widget.h"
#include "gui/desktop.h"
#include "gui/station_launch.h"
#include "quiet_desktop.h"
#include "stall_meter.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace {

using namespace zz;

constexpr int kRunMs = 10000;   // Auto Program before the server goes, and after it is back
constexpr int kOutageMs = 10000; // the server away
constexpr const char* kDatabase = "zz_bench_stall";

// "VERSION NAME" of the cluster on $PGPORT; empty without one pg_ctlcluster knows.
std::string cluster_on_port() {
    if (!std::getenv("PGPORT"))
        return {};
    char found[160] = "";
    if (FILE* list = ::popen("pg_lsclusters --no-header 2>/dev/null | awk -v port=\"$PGPORT\" "
                             "'$3 == port { printf \"%s %s\", $1, $2 }'",
                             "r")) {
        (void)!std::fgets(found, sizeof found, list);
        ::pclose(list);
    }
    return found;
}

// The server is stopped and started off the window's thread: the bench must not stall it itself.
void server(const std::string& cluster, const char* action) {
    std::thread([command = "pg_ctlcluster " + cluster + " " + action + " -m fast"] {
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "%s failed\n", command.c_str());
    }).detach();
}

AppSettings settings_for(const std::filesystem::path& folder, const std::string& db) {
    const std::filesystem::path data = ZZ_SOURCE_DIR "/data";
    const ChipParams chip = ChipDatabase(data).load(3, "16F877A", ChipParams{});
    Buffer image;
    image.clrbuffer(chip);
    for (std::size_t i = 0; i < 256; ++i)
        image.set_cell_and_view(Area::rom, i, i % 2 ? "2AC5" : "1F0F");
    export_hex_file(chip, image, folder / "image.hex");
    AppSettings s;
    s.prog_type = 3;
    s.chip_type = "16F877A";
    s.filename = (folder / "image.hex").string();
    s.records_db = db;
    s.station = "stall-bench";
    s.use_sequence = true;
    s.sequence = "STALL";
    s.inc_enabled = true;
    s.inc_rom = true;
    s.inc_start_add = 0x100;
    s.inc_end_add = 0x101;
    return s;
}

struct Run {
    StationLaunch& launch;
    int boards;
    bool all(const std::function<bool(const BoardPanel&)>& is) const {
        for (int n = 1; n <= boards; ++n) {
            const BoardPanelWidget* p = launch.window().panel(virtual_board_name(n));
            if (!p || !is(p->panel()))
                return false;
        }
        return true;
    }
    int chips() const {
        int done = 0;
        for (int n = 1; n <= boards; ++n)
            if (const BoardPanelWidget* p = launch.window().panel(virtual_board_name(n)))
                done += p->panel().passed + p->panel().failed;
        return done;
    }
    void trigger(const char* item) {
        launch.window().findChild<QAction*>(QString::fromLatin1(item))->trigger();
    }
};

// Calls `then` once `ready` holds (polled every 50 ms, on the event loop).
void when(std::function<bool()> ready, std::function<void()> then) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, ready, then] {
        if (!ready())
            return;
        poll->deleteLater();
        then();
    });
    poll->start(50);
}

void after(int ms, std::function<void()> then) {
    QTimer::singleShot(ms, std::move(then));
}

} // namespace

int main(int argc, char* argv[]) {
    if (!std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int boards = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, 16) : 4;
    const std::string cluster = cluster_on_port();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zz-stall-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string db = "sqlite:" + (folder / "line.sqlite").string();
    if (!cluster.empty()) {
        (void)!std::system((std::string("createdb ") + kDatabase + " 2>/dev/null").c_str());
        db = std::string("postgresql:///") + kDatabase;
    }
    setenv("XDG_DATA_HOME", folder.c_str(), 1); // the spool and log of the bench's own

    StationStart start{true, false, true, {}};
    for (int n = 1; n <= boards; ++n)
        start.ports.push_back(virtual_board_name(n));
    zz::bench::QuietDesktop desktop;
    StationLaunch launch({ZZ_SOURCE_DIR "/data", {}, settings_for(folder, db), start,
                          OperatorTimes{300, 300}, {}},
                         desktop);
    launch.window().show();
    bench::StallMeter meter;
    meter.start();
    Run run{launch, boards};
    qint64 before = 0, outage = 0, back = 0;
    int chips_before = 0, chips_outage = 0, chips_back = 0;

    when([&run] { return run.all([](const BoardPanel& p) { return p.phase == BoardPhase::ready; }); },
         [&] {
             meter.take_worst_ms(); // start-up is bench_window's
             run.trigger("N_autoprog");
             run.trigger("N_records"); // open all along: it reads the store as chips finish
             after(kRunMs, [&] {
                 before = meter.take_worst_ms();
                 chips_before = run.chips();
                 if (!cluster.empty())
                     server(cluster, "stop");
                 after(kOutageMs, [&] {
                     outage = meter.take_worst_ms();
                     chips_outage = run.chips() - chips_before;
                     if (!cluster.empty())
                         server(cluster, "start");
                     // The boards that stopped for the lost store start again, as a person
                     // would start them.
                     after(2000, [&run] { run.trigger("N_autoprog"); });
                     after(kRunMs, [&] {
                         back = meter.take_worst_ms();
                         chips_back = run.chips() - chips_before - chips_outage;
                         run.trigger("N_stopall");
                         when([&run] {
                             return run.all([](const BoardPanel& p) { return !p.auto_running && !p.busy; });
                         },
                              [] { QApplication::quit(); });
                     });
                 });
             });
         });
    QApplication::exec();
    const qint64 stopping = meter.take_worst_ms();
    std::printf("station view, %d virtual boards in Auto Program (person 300,300 ms), %s\n", boards,
                cluster.empty() ? "SQLite (no server to stop: run under pg_virtualenv)"
                                : "PostgreSQL, server stopped for 10 s and started again");
    std::printf("  longest stall of the window's event loop (goal: under 100 ms)\n");
    std::printf("    running:                 %5lld ms (%d chips)\n", static_cast<long long>(before),
                chips_before);
    std::printf("    server away:               %3lld ms (%d chips)\n",
                static_cast<long long>(outage), chips_outage);
    std::printf("    back, Auto Program again:  %3lld ms (%d chips)\n", static_cast<long long>(back),
                chips_back);
    std::printf("    Stop all, every board idle: %2lld ms (%d chips in all)\n",
                static_cast<long long>(stopping), run.chips());
    std::printf("  status line: %s\n", launch.window().status_text().toLocal8Bit().constData());
    std::filesystem::remove_all(folder);
    return 0;
}
