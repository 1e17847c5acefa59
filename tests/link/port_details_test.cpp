// The latency timer of a USB bridge and the trigger level of a UART, as their drivers show them
// under /sys.
#include "link/port_details.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace zz {
namespace {

TEST(PortDetails, LatencyTimerAndTriggerLevelAreReadFromTheDriversAttributes) {
    const std::filesystem::path sys =
        std::filesystem::temp_directory_path() / ("zz-sys-" + std::to_string(getpid()));
    const auto write = [&sys](const std::string& file, const char* text) {
        const std::filesystem::path path = sys / "class" / "tty" / file;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << text;
    };
    // A UART's trigger level sits on the tty itself, a USB bridge's latency timer on its device.
    write("ttyS0/rx_trig_bytes", "8\n");
    const std::pair<const char*, std::optional<int>> timers[] = {
        {"16\n", 16}, {"1\n", 1}, {"sixteen\n", std::nullopt}, {"", std::nullopt}};
    for (std::size_t n = 0; n < std::size(timers); ++n)
        write("ttyUSB" + std::to_string(n) + "/device/latency_timer", timers[n].first);
    for (std::size_t n = 0; n < std::size(timers); ++n)
        EXPECT_EQ(latency_timer_ms("/dev/ttyUSB" + std::to_string(n), sys), timers[n].second) << n;
    for (const char* other : {"/dev/ttyACM0", "", "/dev/ttyS0"})
        EXPECT_EQ(latency_timer_ms(other, sys), std::nullopt) << other;
    EXPECT_EQ(rx_trigger_bytes("/dev/ttyS0", sys), 8);
    EXPECT_EQ(rx_trigger_bytes("/dev/ttyUSB0", sys), std::nullopt);
    std::filesystem::remove_all(sys);
}

} // namespace
} // namespace zz
