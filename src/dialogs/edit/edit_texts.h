#pragma once

namespace zz::texts {

// Messages of the buffer edit dialog, exactly as the operator sees them.
inline constexpr const char* kStartBlank = "Start address cannot be blank";
inline constexpr const char* kEndBlank = "End address cannot be blank";
inline constexpr const char* kRomValueEmpty = "Fill value can not for empty";
inline constexpr const char* kRomValueBytes = "Fill value can not be less than 2bit data";
inline constexpr const char* kRomValueWords = "Fill value cannot be less than 4 digit data";
inline constexpr const char* kRomStartBeyond = "Start address cannot exceed chips rom size";
inline constexpr const char* kRomEndBeyond = "End address cannot exceed chips rom size";
inline constexpr const char* kStartAfterEnd = "Start address can not be more than end address";
inline constexpr const char* kEepromValueEmpty = "Fill value cannot be blank";
inline constexpr const char* kEepromValueBytes = "Fill value cannot be less than 2 digit data";
inline constexpr const char* kEepromStartBeyond = "Start address can not exceed chip eepromsize";
inline constexpr const char* kEepromEndBeyond = "End address can not exceed chip eepromsize";
inline constexpr const char* kInsufficientData = "Program area have blank or insufficient data";

} // namespace zz::texts
