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
    const auto attribute = [&sys](const char* name, const char* text) {
        const std::filesystem::path dir = sys / "class" / "tty" / name / "device";
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "latency_timer") << text;
    };
    // A UART's trigger level sits on the tty itself, not on its device.
    std::filesystem::create_directories(sys / "class" / "tty" / "ttyS0");
    std::ofstream(sys / "class" / "tty" / "ttyS0" / "rx_trig_bytes") << "8\n";
    attribute("ttyUSB0", "16\n");
    attribute("ttyUSB1", "1\n");
    attribute("ttyUSB2", "sixteen\n");
    attribute("ttyUSB3", "");
    struct Case {
        const char* device;
        std::optional<int> ms;
    };
    const Case cases[] = {
        {"/dev/ttyUSB0", 16},           {"/dev/ttyUSB1", 1},
        {"/dev/ttyUSB2", std::nullopt}, {"/dev/ttyUSB3", std::nullopt},
        {"/dev/ttyACM0", std::nullopt}, {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(latency_timer_ms(c.device, sys), c.ms) << c.device;
    EXPECT_EQ(rx_trigger_bytes("/dev/ttyS0", sys), 8);
    EXPECT_EQ(rx_trigger_bytes("/dev/ttyUSB0", sys), std::nullopt);
    EXPECT_EQ(latency_timer_ms("/dev/ttyS0", sys), std::nullopt);
    std::filesystem::remove_all(sys);
}

} // namespace
} // namespace zz
