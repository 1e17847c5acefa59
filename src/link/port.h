#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace zz {

enum class DtrControl { Enable, Disable, Handshake };
enum class RtsControl { Enable, Disable, Handshake, TransmissionAvailable };
enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

// An error from opening a port; what() is the text the operator sees.
class CommError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The texts of the open errors.
namespace comm_error {
inline constexpr const char* kAlreadyOpen = "This serial port already opened";
inline constexpr const char* kOpenFailed = "Error opening serial port";
inline constexpr const char* kNotComm = "File handle is not a comm handle ";
inline constexpr const char* kBufferSetup = "Cannot setup comm buffer";
inline constexpr const char* kEvent = "Unable to create event";
inline constexpr const char* kReadThread = "Unable to create read thread";
inline constexpr const char* kWriteThread = "Unable to create write thread";
} // namespace comm_error

// The line settings of a port. The link runs 38400 8N1, no flow control, DTR on, RTS off.
struct CommProperties {
    std::uint32_t BaudRate = 38400;
    bool ParityCheck = false;
    bool Outx_CtsFlow = false;
    bool Outx_DsrFlow = false;
    DtrControl Dtr = DtrControl::Enable;
    bool DsrSensitivity = false;
    bool TxContinueOnXoff = false;
    bool Outx_XonXoffFlow = false;
    bool Inx_XonXoffFlow = false;
    bool ReplaceWhenParityError = false;
    bool IgnoreNullChar = false;
    RtsControl Rts = RtsControl::Disable;
    std::uint16_t XonLimit = 500;
    std::uint16_t XoffLimit = 500;
    int ByteSize = 8;
    zz::Parity ParityMode = zz::Parity::None;
    zz::StopBits Stop = zz::StopBits::One;
    char XonChar = 0x11;
    char XoffChar = 0x13;
    char ReplacedChar = 0x00;
    std::uint32_t ReadIntervalTimeout = 1; // ms
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;

    bool operator==(const CommProperties&) const = default;
};

// What the reply being waited for is known to look like once it is complete: `bytes` bytes, the
// first of them `starts`. A line that joins what it receives into deliveries as it pauses can end
// the delivery that completes such a reply at once instead of waiting for the pause. Replies whose
// length is not known (announcements, identities, error reports) are not described.
struct ExpectedReply {
    std::size_t bytes = 0;            // 0: nothing is known
    std::vector<std::uint8_t> starts; // at most `bytes` long

    // Exactly these bytes.
    static ExpectedReply exactly(std::vector<std::uint8_t> reply) {
        const std::size_t n = reply.size();
        return {n, std::move(reply)};
    }
    bool operator==(const ExpectedReply&) const = default;
};

// The serial line to the board. Received bytes reach the receive handler in order, at most
// kMaxDelivery bytes per call, on the logic thread from inside Loop::process_events(). A device
// that goes away while open (unplugged, hung up) is reported once to the lost handler, the same
// way and after every byte received before it; the port stays open, and dead, until closed.
class Port {
public:
    static constexpr std::size_t kMaxDelivery = 2048; // bytes per delivery
    static constexpr std::size_t kMaxWrite = 65535;   // bytes per written block

    using ReceiveHandler = std::function<void(std::span<const std::uint8_t>)>;
    using LostHandler = std::function<void()>;

    virtual ~Port() = default;

    // Throws CommError with one of the comm_error texts.
    virtual void open() = 0;
    // Never throws; does nothing when closed.
    virtual void close() = 0;
    virtual bool is_open() const = 0;
    // The open device has gone; true from the moment the port knows, before the lost handler
    // has heard of it, until close().
    virtual bool lost() const = 0;
    // Queues a copy of the block; false when closed, lost, empty or when it cannot be queued.
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    // The reply to what is written next, as far as it is known, counted from the next bytes
    // received; an empty one forgets it. It only lets a delivery end sooner: the bytes and their
    // order stay the same. A port whose deliveries do not wait for the line to pause ignores it.
    virtual void expect_reply(const ExpectedReply& reply) { (void)reply; }

    // Stored; applied at once when open (DTR switches immediately), else at the next open.
    virtual void set_properties(const CommProperties& properties) = 0;
    virtual const CommProperties& properties() const = 0;
    void set_dtr(DtrControl dtr) {
        CommProperties p = properties();
        p.Dtr = dtr;
        set_properties(p);
    }

    // The device name, used at the next open.
    virtual void set_name(const std::string& name) = 0;
    virtual const std::string& name() const = 0;

    void on_receive(ReceiveHandler handler) { receive_ = std::move(handler); }
    void on_lost(LostHandler handler) { lost_ = std::move(handler); }

protected:
    void deliver(std::span<const std::uint8_t> bytes) {
        if (receive_)
            receive_(bytes);
    }
    void report_lost() {
        if (lost_)
            lost_();
    }

private:
    ReceiveHandler receive_;
    LostHandler lost_;
};

} // namespace zz
