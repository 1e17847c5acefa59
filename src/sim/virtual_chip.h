#pragma once

#include "device/chip_params.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace zz {

// Facts of one physical chip that a chip definition does not hold.
struct ChipFacts {
    int revision = 0;            // device ID revision, bits 4-0 of the ID word
    std::uint8_t osccal = 0x80;  // factory calibration literal (CALword chips)
    int bandgap = 2;             // factory BandGap bits 13-12 of configuration word 1
    bool code_protected = false; // reads give 0 words until a bulk erase
};

// A chip in the socket: its memories and how they take writes. Program words, configuration
// words and serial-EEPROM words are kept as numbers; the read streams render them.
class VirtualChip {
public:
    explicit VirtualChip(const ChipParams& params, ChipFacts facts = {});

    bool flash() const { return flash_; }
    int fuse_count() const { return fuse_count_; }

    std::vector<std::uint16_t>& rom() { return rom_; }
    const std::vector<std::uint16_t>& rom() const { return rom_; }
    std::vector<std::uint8_t>& eeprom() { return eeprom_; }
    const std::vector<std::uint8_t>& eeprom() const { return eeprom_; }
    std::array<std::uint8_t, 8>& id() { return id_; }
    const std::array<std::uint8_t, 8>& id() const { return id_; }
    std::array<std::uint16_t, 7>& fuses() { return fuses_; }
    const std::array<std::uint16_t, 7>& fuses() const { return fuses_; }

    // What a read of program memory gives: code-protected chips read 0, addresses past the
    // memory read blank, and read faults flip their bits.
    std::uint16_t read_rom(std::size_t address) const;
    std::uint8_t read_eeprom(std::size_t address) const;

    // Defects: a program cell that never takes a write (the board reports it), and bits that
    // read flipped although the cell was programmed right (found only by a read-back).
    void set_weak_cell(std::size_t address) { weak_cell_ = address; }
    void set_read_fault(std::size_t address, std::uint16_t xor_mask);

    // Programs one cell. Flash takes the value; a one-time-programmable cell can only clear
    // bits. False when the cell then reads other than `value`.
    bool write_rom(std::size_t address, std::uint16_t value);
    bool write_eeprom(std::size_t address, std::uint8_t value);
    bool write_id(std::size_t index, std::uint8_t value);
    bool write_fuse(int k, std::uint16_t value);
    // Bulk erase: every memory blank, code protection off, calibration word and BandGap bits
    // lost. No effect on a one-time-programmable chip.
    void bulk_erase();
    // The 27-byte reply to "0D".
    std::array<std::uint8_t, 27> info_block() const;
    // The calibration word, i.e. the last program word; 0 when the chip has none.
    std::uint16_t calibration_word() const;

private:
    std::uint16_t burn(std::uint16_t old_value, std::uint16_t value, std::uint16_t mask) const;

    int chip_bit_;
    bool flash_;
    bool calword_;
    bool code_protected_;
    std::uint16_t device_id_;
    std::uint16_t rom_blank_;
    std::uint16_t cell_mask_;
    int fuse_count_;
    std::array<std::uint16_t, 7> fuse_mask_{};
    std::vector<std::uint16_t> rom_;
    std::vector<std::uint8_t> eeprom_;
    std::array<std::uint8_t, 8> id_{};
    std::array<std::uint16_t, 7> fuses_{};
    std::optional<std::size_t> weak_cell_;
    std::map<std::size_t, std::uint16_t> read_faults_;
};

} // namespace zz
