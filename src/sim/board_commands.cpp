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

} // namespace

void VirtualBoard::reset_state() {
    shape_ = {};
}

void VirtualBoard::receive_byte(std::uint8_t byte) {
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
    shape_ = faults_.on_command(command.front());
    switch (command.front()) {
    case 0x01:
    case 0x50:
        answer({0x50});
        break;
    case 0x03:
        answer({0x49});
        break;
    case 0x04:
        answer({0x56});
        break;
    case 0x05:
        answer({0x76});
        break;
    case 0x0D:
        answer_info_block();
        break;
    case 0x15:
        answer(std::vector<std::uint8_t>(version_text_.begin(), version_text_.end()));
        break;
    default:
        break;
    }
}

void VirtualBoard::answer_info_block() {
    std::vector<std::uint8_t> block(27, 0x00);
    block[0] = 0x43;
    if (chip_) {
        const auto info = chip_->info_block();
        block.assign(info.begin(), info.end());
    }
    answer(std::move(block));
}

} // namespace zz
