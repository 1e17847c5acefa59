#include "sim/virtual_chip.h"

#include "base/hex_text.h"

#include <algorithm>

namespace zz {

namespace {

constexpr std::int64_t kMaxCells = 1 << 20;

std::uint16_t cell_mask_for(int chip_bit) {
    switch (chip_bit) {
    case 1:
        return 0x0FFF;
    case 2:
        return 0x3FFF;
    case 4:
        return 0x00FF;
    default:
        return 0xFFFF;
    }
}

// ChipID is the ID word low byte first; the chip holds it as a word with its revision bits.
std::uint16_t device_id_for(const ChipParams& p, int revision) {
    const std::int32_t text = hex_to_int(p.ChipID);
    if (text < 0 || text == 0xFFFF)
        return 0xFFFF;
    const auto word = static_cast<std::uint16_t>(((text & 0xFF) << 8) | ((text >> 8) & 0xFF));
    return static_cast<std::uint16_t>(word | (revision & 0x1F));
}

} // namespace

VirtualChip::VirtualChip(const ChipParams& p, ChipFacts facts)
    : chip_bit_(p.CHIPbit), flash_(p.FlashChip && !p.is_serial_eeprom()), calword_(p.CALword),
      code_protected_(facts.code_protected), device_id_(device_id_for(p, facts.revision)),
      cell_mask_(cell_mask_for(p.CHIPbit)),
      fuse_count_(p.is_serial_eeprom() ? 0 : std::clamp(p.FuseWordCount, 1, 7)) {
    const std::int32_t blank = hex_to_int(p.ROMblank);
    rom_blank_ = static_cast<std::uint16_t>((blank < 0 ? 0xFFFF : blank) & cell_mask_);
    rom_.assign(static_cast<std::size_t>(std::clamp<std::int64_t>(p.ROMsize, 0, kMaxCells)),
                rom_blank_);
    if (!p.is_serial_eeprom())
        eeprom_.assign(static_cast<std::size_t>(std::clamp(p.EEPROMsize, 0, 0xFFFF)), 0xFF);
    id_.fill(0xFF);
    for (int k = 0; k < fuse_count_; ++k) {
        fuse_mask_[k] = static_cast<std::uint16_t>(p.fuse_blank_words[k]);
        fuses_[k] = fuse_mask_[k];
    }
    if (calword_ && !rom_.empty())
        rom_.back() = static_cast<std::uint16_t>((chip_bit_ == 1 ? 0x0C00 : 0x3400) | facts.osccal);
    if (p.BandGap && fuse_count_ > 0)
        fuses_[0] = static_cast<std::uint16_t>((fuses_[0] & ~0x3000) | ((facts.bandgap & 3) << 12));
}

std::uint16_t VirtualChip::burn(std::uint16_t old_value, std::uint16_t value,
                                std::uint16_t mask) const {
    const auto wanted = static_cast<std::uint16_t>(value & mask);
    return flash_ ? wanted : static_cast<std::uint16_t>(old_value & wanted);
}

std::uint16_t VirtualChip::read_rom(std::size_t address) const {
    if (code_protected_)
        return 0;
    std::uint16_t value = address < rom_.size() ? rom_[address] : rom_blank_;
    if (auto fault = read_faults_.find(address); fault != read_faults_.end())
        value ^= fault->second;
    return static_cast<std::uint16_t>(value & cell_mask_);
}

std::uint8_t VirtualChip::read_eeprom(std::size_t address) const {
    if (code_protected_)
        return 0;
    return address < eeprom_.size() ? eeprom_[address] : std::uint8_t{0xFF};
}

void VirtualChip::set_read_fault(std::size_t address, std::uint16_t xor_mask) {
    read_faults_[address] = xor_mask;
}

bool VirtualChip::write_rom(std::size_t address, std::uint16_t value) {
    if (address >= rom_.size() || address == weak_cell_)
        return false;
    rom_[address] = burn(rom_[address], value, cell_mask_);
    return rom_[address] == (value & cell_mask_);
}

bool VirtualChip::write_eeprom(std::size_t address, std::uint8_t value) {
    if (address >= eeprom_.size())
        return false;
    eeprom_[address] = value; // data EEPROM is byte-erasable on every chip that has it
    return true;
}

bool VirtualChip::write_id(std::size_t index, std::uint8_t value) {
    const std::size_t count = chip_bit_ == 3 ? 8 : 4;
    if (index >= count)
        return false;
    id_[index] = static_cast<std::uint8_t>(burn(id_[index], value, 0xFF));
    return id_[index] == value;
}

bool VirtualChip::write_fuse(int k, std::uint16_t value) {
    if (k < 0 || k >= fuse_count_)
        return false;
    const auto i = static_cast<std::size_t>(k);
    fuses_[i] = burn(fuses_[i], value, fuse_mask_[i]);
    return fuses_[i] == (value & fuse_mask_[i]);
}

void VirtualChip::bulk_erase() {
    if (!flash_)
        return;
    std::fill(rom_.begin(), rom_.end(), rom_blank_);
    std::fill(eeprom_.begin(), eeprom_.end(), std::uint8_t{0xFF});
    id_.fill(0xFF);
    for (int k = 0; k < fuse_count_; ++k)
        fuses_[k] = fuse_mask_[k];
    code_protected_ = false;
}

std::uint16_t VirtualChip::calibration_word() const {
    return calword_ && !rom_.empty() ? rom_.back() : 0;
}

std::array<std::uint8_t, 27> VirtualChip::info_block() const {
    std::array<std::uint8_t, 27> b{};
    b.fill(0xFF);
    b[0] = 0x43;
    b[1] = static_cast<std::uint8_t>(device_id_ & 0xFF);
    b[2] = static_cast<std::uint8_t>(device_id_ >> 8);
    // 12/14-bit cores have 4 ID bytes; the other 4 stay FFh unless a test sets them.
    for (std::size_t i = 0; i < id_.size(); ++i)
        b[3 + i] = id_[i];
    for (int k = 0; k < fuse_count_; ++k) {
        b[11 + 2 * k] = static_cast<std::uint8_t>(fuses_[k] & 0xFF);
        b[12 + 2 * k] = static_cast<std::uint8_t>(fuses_[k] >> 8);
    }
    if (calword_) {
        b[25] = static_cast<std::uint8_t>(calibration_word() & 0xFF);
        b[26] = static_cast<std::uint8_t>(calibration_word() >> 8);
    }
    return b;
}

} // namespace zz
