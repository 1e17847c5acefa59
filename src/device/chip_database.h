#pragma once

#include "base/ini_profile.h"
#include "device/chip_params.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// The chip definitions of every programmer model in one folder: per model N the family list
// files ("N-chip12bit.ini", ...) whose section names are the chips offered, and the definition
// files "N-chip0.ini" ... "N-chip5.ini" with one section per chip. Files are read at each call,
// so an edited file counts at the next selection.
class ChipDatabase {
public:
    // Index of the definition file used when no file 0..5 defines a chip (normally absent).
    static constexpr int kFallbackFileIndex = 6;

    explicit ChipDatabase(std::filesystem::path data_dir);

    const std::filesystem::path& data_dir() const { return data_dir_; }

    // Section names of the family's list file in file order; empty for a missing file and for
    // a text that names no family.
    std::vector<std::string> chip_list(int model, std::string_view family_text) const;

    // The first definition file index 0..5 whose section `chip_name` has a nonzero ROMsize, else
    // kFallbackFileIndex.
    int definition_index(int model, std::string_view chip_name) const;

    // Every key of the chip with its default where missing or unreadable. An unexpected
    // FUSEblank length keeps the configuration words of `previous`.
    ChipParams load(int model, std::string_view chip_name, const ChipParams& previous) const;

    // Whether the model knows the chip: a definition file defines it, or a family list names it
    // (it is then selected with every key at its default, as the window would).
    bool knows(int model, std::string_view chip_name) const;

    std::filesystem::path list_file(int model, std::string_view list_suffix) const;
    std::filesystem::path definition_file(int model, int index) const;

private:
    // Loads the definition file that defines the chip into `file`; returns its index.
    int find_definition(int model, std::string_view chip_name, IniProfile& file) const;

    std::filesystem::path data_dir_;
};

} // namespace zz
