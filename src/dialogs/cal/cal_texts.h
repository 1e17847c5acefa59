#pragma once

namespace zz::texts {

// Texts of the calibration dialog, exactly as the operator sees them.
inline constexpr const char* kCalNote =
    " This function will work only if under \"OPTION \"--> \"Cal program options \" is set to "
    "\"use file \", but setting to \"Preserve OSCCAL calibration value\" is recommended";
inline constexpr const char* kReadOsccalFail = "Read OSCCAL fail";
inline constexpr const char* kReadBandgapFail = "Read bandgap fail";
// A half-typed value would leave a three-digit program word or a BandGap label that is no
// setting, so OK refuses them.
inline constexpr const char* kOsccalDigits = "OSCCAL value must be two hex digits";
inline constexpr const char* kBandgapDigits = "Bandgap value must be two digits, 0 or 1";
// Only 12-bit and 14-bit cores keep a calibration instruction in their last program word.
inline constexpr const char* kNoCalibrationWord =
    "This chip keeps no OSCCAL calibration value in its program memory";

} // namespace zz::texts
