#pragma once

#include <cstdint>
#include <span>

namespace zz {

// What the board keeps of the set-up frame "03" (the meaning of the bytes is the one of
// docs/board-bytes.md). Before any "03" it holds the set-up of a chip with no definition.
struct BoardSetup {
    std::int64_t rom_size = 8192;   // cells
    std::int64_t eeprom_size = 256; // bytes
    std::uint8_t core_type = 0x09;
    std::uint8_t program_flags = 0x00;
    std::uint8_t program_delay = 0x01; // 0.5 ms units per write cycle
    std::uint8_t power_sequence = 0x01;
    std::uint8_t erase_mode = 0x05;
    std::uint8_t program_tries = 0x01;
    std::uint8_t over_program = 0x01;

    // `frame`: the 12 bytes of the command, "03" included.
    static BoardSetup from_frame(std::span<const std::uint8_t> frame);
    // The frame carries a size as its first four hex digits, so a chip of 65536 or more cells
    // arrives cut (65536 as 1000h). When those are the first digits of the socket chip's size,
    // the board takes the chip's own size.
    void widen_rom_size(std::size_t chip_cells);

    bool byte_cells() const { return serial_eeprom() && (program_flags & 0x10) == 0; }
    bool serial_eeprom() const { return core_type >= 0x06 && core_type <= 0x08; }
    // One write cycle per 32-byte block: a multi-word write latch or a serial-EEPROM page.
    bool block_writes() const { return core_type >= 0x03 && core_type <= 0x08; }
    bool calibration_word() const { return (program_flags & 0x01) != 0; }
    bool bandgap() const { return (program_flags & 0x02) != 0; }
    // One write cycle in microseconds.
    std::int64_t write_cycle_us() const { return std::int64_t{program_delay} * 500; }
};

} // namespace zz
