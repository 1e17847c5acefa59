#include "app/blank_labels.h"

namespace zz {

void blank_labels(const ChipParams& chip, Buffer& buffer) {
    const int chip_bit = chip.CHIPbit;
    buffer.lab_fuse(1) = chip_bit == 1 ? "0x0FFF" : chip_bit == 2 ? "0x3FFF" : "0xFFFF";
    buffer.lab_fuse(2) = chip_bit != 3 && chip.FuseWordCount >= 2 ? "0x3FFF" : "0xFFFF";
    for (int n = 3; n <= 7; ++n)
        buffer.lab_fuse(n) = "0xFFFF";
    buffer.lab_checksum = "Checksum 0xFFFF";
    buffer.lab_id1 = chip_bit == 3 ? "0xFFFFFFFFFFFFFFFF" : "0xFFFFFFFF";
}

} // namespace zz
