#include "device/chip_database.h"

#include "base/ini_profile.h"
#include "device/chip_family.h"

#include <algorithm>
#include <utility>

namespace zz {

namespace {

// The keys in reading order, each with the default of a fresh ChipParams.
void read_keys(const IniProfile& ini, std::string_view s, ChipParams& p) {
    const ChipParams d;
    p.EraseMode = ini.read_string(s, "EraseMode", d.EraseMode);
    p.FlashChip = ini.read_bool(s, "FlashChip", d.FlashChip);
    p.PowerSequence = ini.read_string(s, "PowerSequence", d.PowerSequence);
    p.ProgramDelay = ini.read_string(s, "ProgramDelay", d.ProgramDelay);
    p.ProgramTries = ini.read_string(s, "ProgramTries", d.ProgramTries);
    p.OverProgram = ini.read_string(s, "OverProgram", d.OverProgram);
    p.CoreType = ini.read_string(s, "CoreType", d.CoreType);
    p.ROMsize = ini.read_int(s, "ROMsize", static_cast<std::int32_t>(d.ROMsize));
    p.EEPROMsize = ini.read_int(s, "EEPROMsize", d.EEPROMsize);
    p.SocketImage = ini.read_int(s, "SocketImage", d.SocketImage);
    p.CALword = ini.read_bool(s, "CALword", d.CALword);
    p.BandGap = ini.read_bool(s, "BandGap", d.BandGap);
    p.ICSPonly = ini.read_bool(s, "ICSPonly", d.ICSPonly);
    p.ChipID = ini.read_string(s, "ChipID", d.ChipID);
    p.CHIPbit = ini.read_int(s, "CHIPbit", d.CHIPbit);
    p.ROMblank = ini.read_string(s, "ROMblank", d.ROMblank);
    p.FUSEOR = ini.read_int(s, "FUSEOR", d.FUSEOR);
    p.ProgramFlags = ini.read_string(s, "ProgramFlags", d.ProgramFlags);
    p.FUSEblank = ini.read_string(s, "FUSEblank", d.FUSEblank);
    for (std::size_t n = 0; n < p.LIST.size(); ++n)
        p.LIST[n] = ini.read_string(s, "LIST" + std::to_string(n + 1), "");
}

} // namespace

ChipDatabase::ChipDatabase(std::filesystem::path data_dir) : data_dir_(std::move(data_dir)) {}

std::filesystem::path ChipDatabase::list_file(int model, std::string_view list_suffix) const {
    return data_dir_ / (std::to_string(model) + std::string(list_suffix));
}

std::filesystem::path ChipDatabase::definition_file(int model, int index) const {
    return data_dir_ / (std::to_string(model) + "-chip" + std::to_string(index) + ".ini");
}

std::vector<std::string> ChipDatabase::chip_list(int model, std::string_view family_text) const {
    const ChipFamily* family = find_chip_family(family_text);
    if (!family)
        return {};
    return IniProfile::load(list_file(model, family->list_suffix)).sections();
}

int ChipDatabase::find_definition(int model, std::string_view chip_name, IniProfile& file) const {
    for (int i = 0; i < kFallbackFileIndex; ++i) {
        file = IniProfile::load(definition_file(model, i));
        if (file.read_int(chip_name, "ROMsize", 0) != 0)
            return i;
    }
    file = IniProfile::load(definition_file(model, kFallbackFileIndex));
    return kFallbackFileIndex;
}

int ChipDatabase::definition_index(int model, std::string_view chip_name) const {
    IniProfile file;
    return find_definition(model, chip_name, file);
}

ChipParams ChipDatabase::load(int model, std::string_view chip_name,
                              const ChipParams& previous) const {
    IniProfile ini;
    find_definition(model, chip_name, ini);
    ChipParams chip;
    read_keys(ini, chip_name, chip);
    chip.fuse_blank_words = previous.fuse_blank_words;
    chip.FuseWordCount = previous.FuseWordCount;
    parse_fuse_blank(chip);
    return chip;
}

bool ChipDatabase::knows(int model, std::string_view chip_name) const {
    if (definition_index(model, chip_name) < kFallbackFileIndex)
        return true;
    for (const ChipFamily& family : kChipFamilies) {
        const std::vector<std::string> chips = chip_list(model, family.text);
        if (std::find(chips.begin(), chips.end(), chip_name) != chips.end())
            return true;
    }
    return false;
}

} // namespace zz
