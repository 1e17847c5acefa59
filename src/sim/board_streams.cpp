#include "sim/virtual_board.h"

#include <algorithm>

namespace zz {

namespace {

constexpr std::size_t kStreamChunk = 64;    // bytes per delivery of a read stream
constexpr std::int64_t kBlankCheckUs = 20;  // per cell checked
constexpr std::int64_t kCellsPerTick = 256; // one 42h progress tick per this many cells
constexpr std::size_t kBlockBytes = 32;

} // namespace

void VirtualBoard::read_rom() {
    std::vector<std::uint8_t> data;
    if (upgrade_mode_) {
        for (std::uint16_t w : firmware_) {
            data.push_back(static_cast<std::uint8_t>(w >> 8));
            data.push_back(static_cast<std::uint8_t>(w & 0xFF));
        }
    } else {
        for (std::int64_t a = 0; a < setup_.rom_size; ++a) {
            const std::uint16_t w = chip_ ? chip_->read_rom(static_cast<std::size_t>(a)) : 0;
            if (!setup_.byte_cells())
                data.push_back(static_cast<std::uint8_t>(w >> 8));
            data.push_back(static_cast<std::uint8_t>(w & 0xFF));
        }
    }
    const std::size_t pieces = (data.size() + kStreamChunk - 1) / kStreamChunk;
    answer(0x0B, {data, std::vector<int>(pieces, kStreamChunk), wire_timing_ ? 0 : 1000});
}

void VirtualBoard::read_eeprom() {
    std::vector<std::uint8_t> data;
    for (std::int64_t a = 0; a < setup_.eeprom_size; ++a)
        data.push_back(chip_ ? chip_->read_eeprom(static_cast<std::size_t>(a)) : 0);
    const std::size_t pieces = (data.size() + kStreamChunk - 1) / kStreamChunk;
    answer(0x0C, {data, std::vector<int>(pieces, kStreamChunk), wire_timing_ ? 0 : 1000});
}

// Checks program memory against the blank word whose high byte the command gives (word cells:
// that byte and FFh; byte cells: that byte). The calibration word of a chip that has one is
// skipped. One 42h tick per 256 cells checked, then 59h (blank) or 4Eh at the first used cell.
void VirtualBoard::blank_check_rom(std::uint8_t blank_high) {
    const std::uint16_t blank =
        setup_.byte_cells() ? blank_high : static_cast<std::uint16_t>((blank_high << 8) | 0xFF);
    std::int64_t cells = setup_.rom_size;
    if (setup_.calibration_word() && cells > 0)
        --cells;
    std::vector<std::uint8_t> reply;
    std::uint8_t verdict = 0x59;
    for (std::int64_t a = 0; a < cells; ++a) {
        const std::uint16_t w = chip_ ? chip_->read_rom(static_cast<std::size_t>(a)) : 0;
        if (w != blank) {
            verdict = 0x4E;
            break;
        }
        if ((a + 1) % kCellsPerTick == 0)
            reply.push_back(0x42);
    }
    reply.push_back(verdict);
    answer(0x0F, {reply, std::vector<int>(reply.size(), 1), kCellsPerTick * kBlankCheckUs});
}

void VirtualBoard::blank_check_eeprom() {
    bool blank = true;
    for (std::int64_t a = 0; a < setup_.eeprom_size && blank; ++a)
        blank = chip_ && chip_->read_eeprom(static_cast<std::size_t>(a)) == 0xFF;
    answer(0x10, {{static_cast<std::uint8_t>(blank ? 0x59 : 0x4E)}},
           kProcessUs + setup_.eeprom_size * kBlankCheckUs);
}

std::vector<std::uint8_t> VirtualBoard::end_message() const {
    if (end_trailer_)
        return {0x50, 0x3F, 0x3F};
    return {0x50};
}

void VirtualBoard::start_write(Input input, std::int64_t count) {
    const int code = input == Input::RomBlock ? 0x07 : 0x08;
    if (input == Input::RomBlock && upgrade_mode_)
        count = std::min<std::int64_t>(count, std::ssize(firmware_));
    write_count_ = count;
    write_done_ = 0;
    if (count == 0) {
        answer(code, {end_message()});
        return;
    }
    input_ = input;
    answer(code, {{0x59}});
}

void VirtualBoard::take_block(const std::vector<std::uint8_t>& block) {
    const Input input = input_;
    input_ = Input::Command;
    switch (input) {
    case Input::RomBlock: {
        std::int64_t board_us = kProcessUs;
        if (!program_rom_block(block, board_us))
            return;
        if (write_done_ >= write_count_) {
            firmware_complete_ = upgrade_mode_;
            answer(fault_target::kRomBlock, {end_message()}, board_us);
            return;
        }
        input_ = Input::RomBlock;
        answer(fault_target::kRomBlock, {{0x59}}, board_us);
        return;
    }
    case Input::EepromUnit:
        take_eeprom_unit(block);
        return;
    case Input::IdBlock:
    case Input::ConfigBlock:
        take_id_config_block(block, input == Input::IdBlock);
        if (input == Input::IdBlock)
            answer(fault_target::kIdBlock, {{0x59}}, kProcessUs + 8 * setup_.write_cycle_us());
        else
            answer(fault_target::kConfigBlock, {{0x59}}, kProcessUs + 7 * setup_.write_cycle_us());
        return;
    case Input::Command:
        return;
    }
}

// Programs one 32-byte block (16 words high byte first, or 32 byte cells). A cell that does not
// verify after the allowed pulses ends the stream with 4Eh, its address and what it reads.
bool VirtualBoard::program_rom_block(const std::vector<std::uint8_t>& block,
                                     std::int64_t& board_us) {
    const bool bytes = setup_.byte_cells() && !upgrade_mode_;
    const std::size_t cells = bytes ? kBlockBytes : kBlockBytes / 2;
    const std::int64_t pulses = 1 + (chip_ && !chip_->flash() ? setup_.over_program : 0);
    for (std::size_t i = 0; i < cells && write_done_ < write_count_; ++i, ++write_done_) {
        const auto address = static_cast<std::size_t>(write_done_);
        const auto value =
            static_cast<std::uint16_t>(bytes ? block[i] : (block[2 * i] << 8) | block[2 * i + 1]);
        if (upgrade_mode_) {
            firmware_[address] = value;
            continue;
        }
        if (!setup_.block_writes())
            board_us += pulses * setup_.write_cycle_us();
        if (chip_ && chip_->write_rom(address, value))
            continue;
        board_us += std::int64_t{setup_.program_tries} * setup_.write_cycle_us();
        const std::uint16_t read = chip_ ? chip_->read_rom(address) : 0;
        answer(fault_target::kRomBlock,
               {{0x4E, static_cast<std::uint8_t>(address >> 8),
                 static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(read >> 8),
                 static_cast<std::uint8_t>(read & 0xFF)}},
               board_us);
        return false;
    }
    if (setup_.block_writes() && !upgrade_mode_)
        board_us += setup_.write_cycle_us();
    return true;
}

void VirtualBoard::take_eeprom_unit(const std::vector<std::uint8_t>& unit) {
    for (std::size_t i = 0; i < unit.size() && write_done_ < write_count_; ++i, ++write_done_) {
        if (chip_)
            chip_->write_eeprom(static_cast<std::size_t>(write_done_), unit[i]);
    }
    const std::int64_t board_us = kProcessUs + 2 * setup_.write_cycle_us();
    if (write_done_ >= write_count_) {
        answer(fault_target::kEepromUnit, {end_message()}, board_us);
        return;
    }
    input_ = Input::EepromUnit;
    answer(fault_target::kEepromUnit, {{0x59}}, board_us);
}

// The 22-byte block: 8 ID bytes, then configuration words 1-7 low byte first. After "11" the ID
// bytes are zero and not written.
void VirtualBoard::take_id_config_block(const std::vector<std::uint8_t>& block, bool with_id) {
    if (!chip_)
        return;
    if (with_id) {
        for (std::size_t i = 0; i < 8; ++i)
            chip_->write_id(i, block[i]);
    }
    for (int k = 0; k < chip_->fuse_count(); ++k) {
        const auto i = static_cast<std::size_t>(8 + 2 * k);
        chip_->write_fuse(k, static_cast<std::uint16_t>(block[i] | (block[i + 1] << 8)));
    }
}

} // namespace zz
