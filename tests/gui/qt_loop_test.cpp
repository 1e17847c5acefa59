#include "base/timer.h"
#include "gui/qt_loop.h"
#include "window_fixture.h"

#include <QCoreApplication>

namespace zz::test {
namespace {

// Processes window events until `done` holds; ctest's own time-out catches a hang.
template <class Done> void run_until(Done done) {
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

TEST(QtLoop, IdleTicksFireTheCoreTimersBetweenOperations) {
    QtLoop loop;
    int fired = 0;
    Timer timer(loop, 20, [&] { ++fired; });
    timer.start();
    loop.start_idle();
    run_until([&] { return fired >= 2; });
    EXPECT_TRUE(timer.enabled());
}

TEST(QtLoop, SleepAndPollPauseTakeRealTime) {
    QtLoop loop;
    const std::int64_t start = loop.now_ms();
    loop.sleep_ms(5);
    loop.poll_pause(5);
    EXPECT_GE(loop.now_ms() - start, 10);
}

// The window on the real clock: the board's announcements arrive through idle ticks, and a
// Program command's waits keep the window's events flowing.
TEST(QtLoopWindow, ProgramRunsToTheEndOnTheRealClock) {
    QtLoop loop;
    FakeDesktop desktop(loop);
    VirtualBoard board(loop, 3);
    board.insert_chip(VirtualChip(ChipDatabase(kDataDir).load(3, "16F877A", ChipParams{})));
    VirtualPort port(loop, board);
    Session session(SessionEnv{loop,
                               desktop,
                               port,
                               kDataDir,
                               {},
                               [&] { return std::vector<std::string>{port.name()}; },
                               true});
    session.ask_before_blank_image = false;
    MainWindow window(session, desktop, kDataDir);
    session.startup();
    loop.start_idle();
    auto* status = window.findChild<QLabel*>("Label11");
    run_until([&] { return status->text() == "Ready"; });

    window.findChild<QAbstractButton*>("Button9")->click();
    run_until([&] { return status->text() == "Ready"; }); // the board's "50" after "01"
    EXPECT_EQ(window.findChild<QLabel*>("lab_pass")->text(), "Pass:0001");
    ASSERT_FALSE(desktop.messages.empty());
    EXPECT_EQ(desktop.messages.back(), "Programming complete.");
}

} // namespace
} // namespace zz::test
