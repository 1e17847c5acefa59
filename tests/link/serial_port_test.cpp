#include "link/serial_port.h"

#include "base/real_loop.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <linux/serial.h>
#include <numeric>
#include <optional>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace zz {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Waits here are bounded by a count of polls, never by the clock: a slow machine only takes longer.
constexpr int kMaxPolls = 5000; // of up to 10 ms each

// A pseudo-terminal: the port opens the slave by name, the test plays the device on the master.
class PtyPair {
public:
    PtyPair() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            slave_name_ = ptsname(master_);
    }
    ~PtyPair() { close_master(); }

    const std::string& slave_name() const { return slave_name_; }
    void close_master() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

    void send(const Bytes& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    Bytes receive(std::size_t count) const {
        Bytes got;
        for (int i = 0; i < kMaxPolls && got.size() < count; ++i) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0)
                continue;
            std::uint8_t buffer[4096];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0)
                got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }

private:
    int master_ = -1;
    std::string slave_name_;
};

Bytes pattern(std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return bytes;
}

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(pty.slave_name().empty());
        port.set_name(pty.slave_name());
        port.on_receive([this](std::span<const std::uint8_t> bytes) {
            deliveries.emplace_back(bytes.begin(), bytes.end());
        });
    }

    std::size_t received_count() const {
        std::size_t total = 0;
        for (const Bytes& d : deliveries)
            total += d.size();
        return total;
    }

    Bytes received() const {
        Bytes all;
        for (const Bytes& d : deliveries)
            all.insert(all.end(), d.begin(), d.end());
        return all;
    }

    void pump_until_received(std::size_t count) {
        for (int i = 0; i < kMaxPolls && received_count() < count; ++i) {
            loop.poll_pause(10);
            loop.process_events();
        }
    }

    PtyPair pty;
    RealLoop loop;
    SerialPort port{loop};
    std::vector<Bytes> deliveries;
};

TEST_F(SerialPortTest, OpenOnAnOpenPortRaisesAndLeavesItOpen) {
    port.open();
    try {
        port.open();
        FAIL() << "second open succeeded";
    } catch (const CommError& e) {
        EXPECT_STREQ(e.what(), "This serial port already opened");
    }
    EXPECT_TRUE(port.is_open());
    const Bytes probe = {0x50};
    EXPECT_TRUE(port.write(probe));
    EXPECT_EQ(pty.receive(1), probe);
}

TEST_F(SerialPortTest, WriteRefusesWhatItCannotQueue) {
    const Bytes one = {0x01};
    EXPECT_FALSE(port.write(one)) << "closed port";
    port.open();
    EXPECT_FALSE(port.write({})) << "empty block";
    EXPECT_FALSE(port.write(Bytes(Port::kMaxWrite + 1))) << "over 65535 bytes";
    port.close();
    EXPECT_FALSE(port.write(one)) << "closed again";
}

TEST_F(SerialPortTest, LargeArrivalIsDeliveredInOrderInBoundedBlocks) {
    port.open();
    const Bytes sent = pattern(3000);
    pty.send(sent);
    pump_until_received(sent.size());
    EXPECT_GE(deliveries.size(), 2u);
    for (const Bytes& d : deliveries)
        EXPECT_LE(d.size(), Port::kMaxDelivery);
    EXPECT_EQ(received(), sent);
}

// Raw 8-bit line both ways: no echo, no CR/LF translation, XON/XOFF and control bytes pass.
TEST_F(SerialPortTest, EveryByteValuePassesUnchangedBothWays) {
    port.open();
    Bytes all(256);
    std::iota(all.begin(), all.end(), 0);
    pty.send(all);
    pump_until_received(all.size());
    EXPECT_EQ(received(), all);

    Bytes expected = pattern(Port::kMaxWrite);
    EXPECT_TRUE(port.write(expected));
    EXPECT_TRUE(port.write(all));
    expected.insert(expected.end(), all.begin(), all.end());
    EXPECT_EQ(pty.receive(expected.size()), expected);
}

TEST_F(SerialPortTest, CloseOnAClosedPortDoesNothingAndTheDeviceReopens) {
    port.close();
    EXPECT_FALSE(port.is_open());
    port.open();
    port.close();
    port.close();
    EXPECT_FALSE(port.is_open());
    port.open();
    const Bytes sent = {0x42, 0x02};
    pty.send(sent);
    pump_until_received(sent.size());
    EXPECT_EQ(received(), sent);
}

TEST_F(SerialPortTest, BytesPendingAtCloseAreDiscarded) {
    port.open();
    pty.send(pattern(100));
    for (int i = 0; i < kMaxPolls && !port.next_due_ms(); ++i)
        loop.poll_pause(10);
    port.close();
    loop.process_events();
    EXPECT_TRUE(deliveries.empty());
    EXPECT_FALSE(port.next_due_ms());
}

TEST_F(SerialPortTest, HandlerThatClosesThePortEndsDelivery) {
    port.on_receive([this](std::span<const std::uint8_t> bytes) {
        deliveries.emplace_back(bytes.begin(), bytes.end());
        port.close();
    });
    port.open();
    pty.send(pattern(3000));
    pump_until_received(1);
    loop.process_events();
    EXPECT_EQ(deliveries.size(), 1u);
    EXPECT_FALSE(port.is_open());
}

TEST_F(SerialPortTest, SecondOpenOfTheSameDeviceFails) {
    port.open();
    SerialPort other(loop, pty.slave_name());
    try {
        other.open();
        FAIL() << "the device was opened twice";
    } catch (const CommError& e) {
        EXPECT_EQ(std::string(e.what()), "Error opening serial port\n" + pty.slave_name() +
                                             " is in use by another program.");
    }
    EXPECT_FALSE(other.is_open());
    port.close();
    other.open();
    EXPECT_TRUE(other.is_open());
}

// The device vanishing (adapter unplugged, here the far end hanging up) is reported once; the port
// stays open and dead until closed.
TEST_F(SerialPortTest, DeviceThatGoesAwayIsReportedOnce) {
    int reports = 0;
    port.on_lost([&] { ++reports; });
    port.open();
    pty.close_master();
    for (int i = 0; i < kMaxPolls && reports == 0; ++i) {
        loop.poll_pause(10);
        loop.process_events();
    }
    loop.process_events();
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(port.is_open());
    EXPECT_TRUE(port.lost());
    EXPECT_FALSE(port.write(Bytes{0x01}));
    port.close();
    EXPECT_FALSE(port.lost());
}

// Reads separated by less than the read interval make one delivery.
TEST_F(SerialPortTest, ReadsWithinTheReadIntervalAreJoined) {
    CommProperties p = port.properties();
    p.ReadIntervalTimeout = 300; // ms: far beyond the scheduling noise of a loaded machine
    port.set_properties(p);
    port.open();
    pty.send({0x42});
    usleep(2000);
    pty.send({0x04});
    pump_until_received(2);
    EXPECT_EQ(deliveries, (std::vector<Bytes>{{0x42, 0x04}}));
}

// The reply the port was told to expect ends its delivery as it comes: the line's pause, ten
// minutes here, is not waited for.
TEST_F(SerialPortTest, AnExpectedReplyIsDeliveredWithoutWaitingForTheLineToPause) {
    CommProperties p = port.properties();
    p.ReadIntervalTimeout = 600'000; // ms
    port.set_properties(p);
    port.open();
    port.expect_reply(ExpectedReply::exactly({0x59}));
    pty.send({0x59});
    pump_until_received(1);
    EXPECT_EQ(deliveries, (std::vector<Bytes>{{0x59}}));
}

// Modem lines cannot be observed on a pseudo-terminal; this checks that switching DTR on an open
// or closed port neither fails nor disturbs the data path.
TEST_F(SerialPortTest, SwitchingDtrKeepsTheLineWorking) {
    port.set_dtr(DtrControl::Disable);
    EXPECT_EQ(port.properties().Dtr, DtrControl::Disable);
    port.open();
    port.set_dtr(DtrControl::Enable);
    EXPECT_EQ(port.properties().Dtr, DtrControl::Enable);
    const Bytes sent = {0x50};
    pty.send(sent);
    pump_until_received(sent.size());
    EXPECT_EQ(received(), sent);
    EXPECT_TRUE(port.write(sent));
    EXPECT_EQ(pty.receive(1), sent);
}

// A file of the test's own in the temporary folder, removed afterwards.
class TempFile {
public:
    TempFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zz_serial_XXXXXX");
        const int fd = mkstemp(pattern.data());
        if (fd >= 0) {
            ::close(fd);
            path_ = pattern;
        }
    }
    ~TempFile() {
        if (!path_.empty())
            std::filesystem::remove(path_);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct OpenFailure {
    const char* what;
    std::string path;     // empty: a regular file
    std::string expected; // the whole text, or its first line when `first_line_only`
    bool first_line_only;
};

class SerialPortOpenFailureTest : public ::testing::TestWithParam<OpenFailure> {};

TEST_P(SerialPortOpenFailureTest, LeavesThePortClosed) {
    const TempFile file;
    const std::string path = GetParam().path.empty() ? file.path() : GetParam().path;
    RealLoop loop;
    SerialPort port(loop, path);
    try {
        port.open();
        FAIL() << GetParam().what << " opened";
    } catch (const CommError& e) {
        std::string text = e.what();
        if (GetParam().first_line_only) {
            const auto newline = text.find('\n');
            ASSERT_NE(newline, std::string::npos) << "no second line naming the reason";
            EXPECT_NE(text.find(path, newline), std::string::npos);
            text.resize(newline);
        }
        EXPECT_EQ(text, GetParam().expected);
    }
    EXPECT_FALSE(port.is_open());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialPortOpenFailureTest,
    ::testing::Values(
        OpenFailure{"missing device", "/dev/ttyZZ-missing", "Error opening serial port", true},
        OpenFailure{"name without a device", "COM1", "Error opening serial port", true},
        OpenFailure{"regular file", "", "File handle is not a comm handle ", false},
        OpenFailure{"character device that is no terminal", "/dev/null",
                    "File handle is not a comm handle ", false}));

TEST(SerialPortPermissionTest, DeniedAccessTellsTheUserWhatToDo) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may open any file";
    const TempFile file;
    std::filesystem::permissions(file.path(), std::filesystem::perms::none);
    RealLoop loop;
    SerialPort port(loop, file.path());
    try {
        port.open();
        FAIL() << "a file without permissions opened";
    } catch (const CommError& e) {
        // The file's own group may not read it either: joining a group would not help.
        EXPECT_THAT(std::string(e.what()),
                    ::testing::StartsWith("Error opening serial port\nPermission denied on " +
                                          file.path() + ": mode 0000, owner "));
    }
}

// The driver's flags of `device` as another opener sees them; nothing when it has none.
std::optional<int> serial_flags(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    serial_struct serial{};
    const bool ok = ioctl(fd, TIOCGSERIAL, &serial) == 0;
    ::close(fd);
    return ok ? std::optional<int>(serial.flags) : std::nullopt;
}

// A UART driver grants low latency while the port is open and gets its flags back at close.
// Needs a serial device that may be opened twice (as root): ZZ_TEST_SERIAL, else /dev/ttyS0.
TEST(SerialPortDriver, LowLatencyIsAskedForWhileOpenAndUndoneAtClose) {
    const char* chosen = std::getenv("ZZ_TEST_SERIAL");
    const std::string device = chosen ? chosen : "/dev/ttyS0";
    const std::optional<int> before = serial_flags(device);
    if (!before || (*before & ASYNC_LOW_LATENCY) != 0)
        GTEST_SKIP() << "no serial device at normal latency to try on: " << device;
    RealLoop loop;
    SerialPort port(loop, device);
    try {
        port.open();
    } catch (const CommError& e) {
        GTEST_SKIP() << e.what();
    }
    const std::optional<int> during = serial_flags(device);
    port.close();
    if (!during)
        GTEST_SKIP() << device << " may not be opened twice by this user";
    EXPECT_NE(*during & ASYNC_LOW_LATENCY, 0);
    EXPECT_EQ(serial_flags(device), before);
}

} // namespace
} // namespace zz
