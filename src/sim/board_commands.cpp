#include "sim/virtual_board.h"

namespace zz {

namespace {

// Length in bytes of each command, its code included; 0 for a code the board does not know.
std::size_t command_length(std::uint8_t code) {
    switch (code) {
    case 0x01:
    case 0x04:
    case 0x05:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x0E:
    case 0x10:
    case 0x12:
    case 0x13:
    case 0x15:
    case 0x50:
    case 0x55:
        return 1;
    case 0x0F:
        return 2;
    case 0x07:
    case 0x08:
    case 0x09:
    case 0x11:
        return 3;
    case 0x0A:
        return 5;
    case 0x03:
        return 12;
    default:
        return 0;
    }
}

// Bytes of the block the board waits for in each input state.
std::size_t block_length(int input) {
    constexpr std::size_t kLengths[] = {0, 32, 2, 22, 22};
    return kLengths[input];
}

std::uint16_t word_at(const std::vector<std::uint8_t>& bytes, std::size_t i, bool high_first) {
    const std::uint8_t a = bytes[i];
    const std::uint8_t b = bytes[i + 1];
    return static_cast<std::uint16_t>(high_first ? (a << 8) | b : (b << 8) | a);
}

} // namespace

void VirtualBoard::receive_byte(std::uint8_t byte) {
    if (input_ != Input::Command) {
        pending_.push_back(byte);
        if (pending_.size() < block_length(static_cast<int>(input_)))
            return;
        std::vector<std::uint8_t> block;
        block.swap(pending_);
        take_block(block);
        return;
    }
    if (pending_.empty() && command_length(byte) == 0)
        return; // an unknown code is skipped
    pending_.push_back(byte);
    if (pending_.size() < command_length(pending_.front()))
        return;
    std::vector<std::uint8_t> command;
    command.swap(pending_);
    execute(command);
}

void VirtualBoard::execute(const std::vector<std::uint8_t>& command) {
    const std::uint8_t code = command.front();
    // A new command ends a socket watch that has not reported yet.
    watch_ = Watch::None;
    switch (code) {
    case 0x01:
    case 0x50:
        answer(code, {{0x50}});
        break;
    case 0x03:
        setup_ = BoardSetup::from_frame(command);
        if (chip_)
            setup_.widen_rom_size(chip_->rom().size());
        answer(code, {{0x49}});
        break;
    case 0x04:
        answer(code, {{0x56}});
        break;
    case 0x05:
        answer(code, {{0x76}});
        break;
    case 0x07:
    case 0x08:
        start_write(code == 0x07 ? Input::RomBlock : Input::EepromUnit, word_at(command, 1, true));
        break;
    case 0x09:
        input_ = Input::IdBlock;
        break;
    case 0x11:
        input_ = Input::ConfigBlock;
        break;
    case 0x0A:
        write_calibration(command);
        break;
    case 0x0B:
        read_rom();
        break;
    case 0x0C:
        read_eeprom();
        break;
    case 0x0D:
        answer_info_block();
        break;
    case 0x0E:
        bulk_erase();
        break;
    case 0x0F:
        blank_check_rom(command[1]);
        break;
    case 0x10:
        blank_check_eeprom();
        break;
    case 0x12:
    case 0x13:
        answer(code, {{0x41}});
        watch_socket(code == 0x12 ? Watch::Insert : Watch::Remove);
        break;
    case 0x15:
        answer(code, {std::vector<std::uint8_t>(version_text_.begin(), version_text_.end())});
        break;
    case 0x55:
        start_upgrade();
        break;
    default:
        break;
    }
    if (command_observer_)
        command_observer_(code, clock_us_ / 1000);
}

void VirtualBoard::answer_info_block() {
    // An empty socket reads as all-zero data behind the marker.
    std::vector<std::uint8_t> block(27, 0x00);
    block[0] = 0x43;
    if (chip_) {
        const auto info = chip_->info_block();
        block.assign(info.begin(), info.end());
    }
    answer(0x0D, {block});
}

void VirtualBoard::bulk_erase() {
    const bool erases = setup_.erase_mode == 0x05 && chip_;
    if (erases)
        chip_->bulk_erase();
    answer(0x0E, {{0x59}}, erases ? 10'000 : kProcessUs);
}

// "0A" + calibration word + configuration word (both high byte first): the calibration word goes
// to the last program cell; a BandGap chip also gets configuration word 1.
void VirtualBoard::write_calibration(const std::vector<std::uint8_t>& command) {
    std::uint8_t verdict = 0x59;
    const std::int64_t last = setup_.rom_size - 1;
    if (!chip_ || last < 0 ||
        !chip_->write_rom(static_cast<std::size_t>(last), word_at(command, 1, true)))
        verdict = 0x43;
    else if (setup_.bandgap() && !chip_->write_fuse(0, word_at(command, 3, true)))
        verdict = 0x46;
    answer(0x0A, {{verdict}}, kProcessUs + 2 * setup_.write_cycle_us());
}

void VirtualBoard::start_upgrade() {
    if (model_ == 1)
        return; // a board without a firmware loader ignores "55"
    upgrade_mode_ = true;
    answer(0x55, {{0x55}});
}

} // namespace zz
