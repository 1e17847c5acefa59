#pragma once

#include "device/buffer.h"
#include "device/chip_params.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace zz {

// Digits `first` to `last` of `text`, counted from 1; whatever part of them exists.
std::string digits(std::string_view text, std::size_t first, std::size_t last);
// A word given low byte first ("F43F") shown high byte first ("3FF4"), and back: the two
// byte pairs of four digits swapped.
std::string swap_bytes(std::string_view word);
// Digits of one program cell: four, or two for byte-organised serial EEPROMs.
std::size_t cell_digits(const ChipParams& chip);
// The last program word of `image` replaced by `osccal`: the calibration word survives.
void substitute_osccal(std::string& image, std::string_view osccal);
// "Good:"/"Bad:" lines that follow a message naming the place of a difference.
std::string good_bad(std::string_view good, std::string_view bad);
// `value` as exactly four upper-case hex digits.
std::string hex4(std::int64_t value);
// Puts the chip's BandGap digit `d` (bits 13-12 of configuration word 1) on top of the buffer's
// configuration word 1, so the factory bits survive what is written or compared next.
void set_bandgap_digit(Buffer& buffer, char d);

} // namespace zz
