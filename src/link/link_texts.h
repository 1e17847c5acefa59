#pragma once

namespace zz::texts {

// Messages and status texts of the link, exactly as the operator sees them.
inline constexpr const char* kError = "Error";
inline constexpr const char* kInformation = "Information";
inline constexpr const char* kReady = "Ready";
inline constexpr const char* kReceiveError = "Receive data error,\r\nplease reset device...";
inline constexpr const char* kBoardNotResponding =
    "The board is not responding\r\nplease reset device...";
inline constexpr const char* kPortNotInitialized = "Serial port not initialized";
inline constexpr const char* kProblemSending = "Problem sending data through serial port";
inline constexpr const char* kWriteDataFail = "Write Data Fail";
inline constexpr const char* kSoundError =
    "Error in playing windows sound,\r\nplease set [Mute] under [Options] menu";
inline constexpr const char* kCheckSerialPort = "check serial port";
inline constexpr const char* kCommunicationFailed = "Communication failed";
inline constexpr const char* kSerialPortClosed = "Serial port is closed";
// "The serial port /dev/ttyUSB0 was lost": the port name goes between the two parts.
inline constexpr const char* kPortLostBefore = "The serial port ";
inline constexpr const char* kPortLostAfter = " was lost";

} // namespace zz::texts
