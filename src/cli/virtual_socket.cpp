#include "cli/virtual_socket.h"

#include "sim/chip_image.h"

#include <cstdio>

namespace zz::cli {

std::string numbered_name(const std::string& pattern, int number) {
    std::string name = pattern;
    const std::string digits = std::to_string(number);
    for (std::size_t at = name.find("%n"); at != std::string::npos;
         at = name.find("%n", at + digits.size()))
        name.replace(at, 2, digits);
    return name;
}

bool VirtualSocket::insert() {
    ++number_;
    saved_ = false;
    board_.insert_chip(VirtualChip(params_));
    if (options_.chip_image.empty())
        return true;
    const LoadResult result = load_chip_image(*board_.chip(), params_, options_.chip_image);
    if (!result.ok)
        op_.show_message(result.error, "Error", Icon::Error);
    else if (result.warning.empty() || number_ > 1) // every chip loads the same file
        return true;
    else if (!options_.json)
        std::fprintf(stderr, "%s\n", result.warning.c_str());
    else
        out_.field("chip_image_warning", json_quote(result.warning));
    return result.ok;
}

bool VirtualSocket::save() {
    if (options_.chip_save.empty() || saved_ || !board_.chip())
        return true;
    saved_ = true;
    try {
        save_chip_image(*board_.chip(), params_, numbered_name(options_.chip_save, number_));
        return true;
    } catch (const std::exception& e) {
        op_.show_message(std::string("The virtual chip could not be saved:\n") + e.what(), "Error",
                         Icon::Error);
        return false;
    }
}

} // namespace zz::cli
