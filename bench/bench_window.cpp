// The window in real time: from the start of the program to the first paint, and how long the
// event loop ever waits during a full Program cycle (all options, 16F877A with every word used) on
// the virtual board at 38400 baud. Prints figures only. Runs on Qt's offscreen platform when
// there is no display.
#include "app/session.h"
#include "device/chip_database.h"
#include "gui/desktop.h"
#include "gui/main_window.h"
#include "gui/qt_loop.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"
#include "quiet_desktop.h"
#include "stall_meter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

void fill_every_word(zz::Session& session) {
    for (std::size_t i = 0; i < session.buffer.cell_count(zz::Area::rom); ++i)
        session.buffer.set_cell_and_view(zz::Area::rom, i, i % 2 ? "2AC5" : "1F0F");
    for (std::size_t i = 0; i < session.buffer.cell_count(zz::Area::eeprom); ++i)
        session.buffer.set_cell_and_view(zz::Area::eeprom, i, "A5");
}

} // namespace

int main(int argc, char* argv[]) {
    const auto program_start = std::chrono::steady_clock::now();
    if (!std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const std::filesystem::path data = ZZ_SOURCE_DIR "/data";

    zz::QtLoop loop;
    zz::bench::QuietDesktop desktop;
    zz::VirtualBoard board(loop, 3);
    board.set_wire_timing(true);
    board.insert_chip(zz::VirtualChip(zz::ChipDatabase(data).load(3, "16F877A", zz::ChipParams{})));
    zz::VirtualPort port(loop, board);
    zz::Session session(zz::SessionEnv{loop, desktop, port, data, {},
                                       [&] { return std::vector<std::string>{port.name()}; },
                                       true});
    zz::MainWindow window(session, desktop, data);
    session.startup();
    window.show();
    QApplication::processEvents(); // the first paint
    const double first_paint_ms = std::chrono::duration<double, std::milli>(
                                      std::chrono::steady_clock::now() - program_start)
                                      .count();
    loop.start_idle();
    while (!session.link().BoardReady.get())
        loop.process_events();

    fill_every_word(session);
    zz::bench::StallMeter meter;
    meter.start();
    QElapsedTimer cycle;
    cycle.start();
    session.program_command();
    const qint64 cycle_ms = cycle.elapsed();

    std::printf("window: start to first paint %.0f ms (target: under 1000 ms)\n", first_paint_ms);
    std::printf("program cycle, 16F877A all options, virtual board at 38400 baud: %lld ms; "
                "longest wait of the event loop %lld ms; %s\n",
                static_cast<long long>(cycle_ms), static_cast<long long>(meter.worst_ms()),
                session.statistics.lab_pass.get().c_str());
    session.shutdown();
    return 0;
}
