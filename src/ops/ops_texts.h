#pragma once

namespace zz::texts {

// Messages, questions and status texts of the chip operations, exactly as the operator sees them.
inline constexpr const char* kWriteChipMessage = "write chip message.....";
inline constexpr const char* kInvalidDeviceId = "Invalid target device ID\r\nexpected:";
inline constexpr const char* kContinueProgram = "Continue to program this chip?";
inline constexpr const char* kModel4Checklist =
    "\r\nPlease check:\r\n1.Power supply switch is ON\r\n2.Power supply jumper (J2) position"
    "\r\n3.Programer jumper J5/6/7/8 position";

inline constexpr const char* kReading = "Reading.....";
inline constexpr const char* kReadingEeprom = "Reading EEPROM.....";
inline constexpr const char* kReadingRom = "Reading ROM.....";
inline constexpr const char* kReadCompleted = "Read chip completed,showing to buffer";
inline constexpr const char* kInitializingCal = "Initializing...";
inline constexpr const char* kInitializingBand = "Initializing.....";

inline constexpr const char* kErasing = "Erasing...";
inline constexpr const char* kOsccalError = "Error in protecting OSCCAL value";
inline constexpr const char* kBlankChecking = "Blank checking....";
inline constexpr const char* kBlankRom = "Blank ROM...";
inline constexpr const char* kBlankEeprom = "Blank EEPROM...";
inline constexpr const char* kEraseResult = "Erase result...";
inline constexpr const char* kEraseComplete = "Chip erase complete.";
inline constexpr const char* kEraseFailureStatus = "Erase Failure";
inline constexpr const char* kEraseFailure = "Chip erase Failure";
inline constexpr const char* kBlankResult = "Blank Result...";

inline constexpr const char* kProgrammingRom = "Programming ROM...";
inline constexpr const char* kVerifyingRom = "Verifying ROM...";
inline constexpr const char* kRomError = "Error in programming ROM at address 0x";
inline constexpr const char* kProgrammingEeprom = "Programming EEPROM....";
inline constexpr const char* kVerifyingEepromWrite = "Verifying EEPROM........";
inline constexpr const char* kEepromError = "Error in programming EEPROM at address 0x";
inline constexpr const char* kWritingRomResult = "Writing ROM result...";
inline constexpr const char* kWriteRomComplete = "Write to ROM complete.";
inline constexpr const char* kNoEeprom = "This chip does not have EEPROM";
inline constexpr const char* kEepromResult = "Programming EEPROM result...";
inline constexpr const char* kEepromComplete = "Programming EEPROM complete.";

inline constexpr const char* kProgrammingIdFuses = "Programming ID and FUSES...";
inline constexpr const char* kVerifyingIdFuses = "Verifying ID and FUSES...";
inline constexpr const char* kProgrammingId = "Programming ID...";
inline constexpr const char* kIdError = "Error in programming ID..";
inline constexpr const char* kFusesError = "Error in programming FUSES..";
inline constexpr const char* kIdFusesResult = "Programming ID/FUSES result...";
inline constexpr const char* kIdFusesComplete = "Programming ID and FUSES complete.";

inline constexpr const char* kVerifyingEeprom = "Verifying EEPROM...";
inline constexpr const char* kVerifyResult = "Verify result...";
inline constexpr const char* kVerificationError = "Error in verification\r\n";
inline constexpr const char* kVerifyComplete = "Data verification complete";

inline constexpr const char* kNoProgramOptions = "No Program Options";
inline constexpr const char* kProgrammingResult = "Programming result...";
inline constexpr const char* kProgrammingFail = "Programming fail...";
inline constexpr const char* kProgrammingComplete = "Programming complete.";

} // namespace zz::texts
