#pragma once

#include "files/serial_number.h"

#include <filesystem>

namespace zz {

// How long a reservation waits for another program to release the image file (ms).
inline constexpr int kReservationWaitMs = 10000;

// Takes the number for the next chip from the image file on disk, so that several programs (or
// sessions on several threads) numbering from one file never give two chips one number. With the
// companion file "<image>.lock" locked: the image is read, its number is put into `buffer` (and
// the checksum recomputed), the number is advanced once and the image saved; then the lock is
// released. The chip is programmed with the number taken; one that fails leaves a gap.
//
// The lock is on the companion file because saving replaces the image by a new file: a lock on
// the image itself would stay with the old, replaced file. Throws std::runtime_error with the
// reason when the file cannot be locked, read or saved; `buffer` is then unchanged.
void reserve_serial_number(const ChipParams& chip, Buffer& buffer, const SerialSettings& serial,
                           const std::filesystem::path& image);

} // namespace zz
