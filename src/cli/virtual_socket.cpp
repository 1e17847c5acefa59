#include "cli/virtual_socket.h"

#include "sim/chip_image.h"

#include <cstdio>

namespace zz::cli {

std::string numbered_name(const std::string& pattern, int number, int board_number) {
    std::string name = pattern;
    const std::string digits =
        (board_number > 0 ? std::to_string(board_number) + "-" : "") + std::to_string(number);
    for (std::size_t at = name.find("%n"); at != std::string::npos;
         at = name.find("%n", at + digits.size()))
        name.replace(at, 2, digits);
    return name;
}

std::optional<VirtualChip> VirtualSocket::make_chip() {
    ++number_;
    VirtualChip chip(params_);
    if (options_.chip_image.empty())
        return chip;
    const LoadResult result = load_chip_image(chip, params_, options_.chip_image);
    if (!result.ok) {
        op_.show_message(result.error, "Error", Icon::Error);
        return std::nullopt;
    }
    if (result.warning.empty() || number_ > 1) // every chip loads the same file
        return chip;
    if (!options_.json)
        std::fprintf(stderr, "%s\n", result.warning.c_str());
    else
        out_.field("chip_image_warning", json_quote(result.warning));
    return chip;
}

bool VirtualSocket::insert() {
    std::optional<VirtualChip> chip = make_chip();
    if (!chip)
        return false;
    saved_ = false;
    board_.insert_chip(std::move(*chip));
    return true;
}

VirtualChip VirtualSocket::next_chip() {
    saved_ = true; // nothing to keep until it is worked on
    // An image that stopped loading has been reported; the person goes on with a blank chip.
    return make_chip().value_or(VirtualChip(params_));
}

bool VirtualSocket::save() {
    return !board_.chip() || save_removed(*board_.chip());
}

bool VirtualSocket::save_removed(const VirtualChip& chip) {
    if (options_.chip_save.empty() || saved_)
        return true;
    saved_ = true;
    try {
        save_chip_image(chip, params_, numbered_name(options_.chip_save, number_, board_number_));
        return true;
    } catch (const std::exception& e) {
        op_.show_message(std::string("The virtual chip could not be saved:\n") + e.what(), "Error",
                         Icon::Error);
        return false;
    }
}

} // namespace zz::cli
