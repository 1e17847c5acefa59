#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zz {

// The parameters of the selected chip, one field per key of a chip definition, with the key's
// default. Board bytes are kept as the two-digit texts the set-up frame sends verbatim.
struct ChipParams {
    std::string EraseMode = "05";
    bool FlashChip = true;
    std::string PowerSequence = "01";
    std::string ProgramDelay = "01";
    std::string ProgramTries = "01";
    std::string OverProgram = "01";
    std::string CoreType = "09";
    std::int64_t ROMsize = 8192;   // cells: words, or bytes for CHIPbit 4
    std::int32_t EEPROMsize = 256; // bytes
    std::int32_t SocketImage = 8;
    bool CALword = false;
    bool BandGap = false;
    bool ICSPonly = false;
    std::string ChipID = "200E";
    std::int32_t CHIPbit = 2;
    std::string ROMblank = "3FFF";
    std::int32_t FUSEOR = 0;
    std::string ProgramFlags = "00";
    std::string FUSEblank = "3FFF";
    // FUSEblank parsed: words 1..7 and how many the chip has (1, 2 or 7).
    std::array<std::int32_t, 7> fuse_blank_words{0x3FFF, 0, 0, 0, 0, 0, 0};
    int FuseWordCount = 1;
    std::array<std::string, 46> LIST{};

    bool is_serial_eeprom() const { return CHIPbit == 4 || CHIPbit == 5; }
};

// Sets `fuse_blank_words` and `FuseWordCount` from the text `FUSEblank`: 4 characters give one
// word, 9 give two and 34 give seven (four hex digits per word, one separator character between
// words). Any other length leaves both as they were, so the previous chip's words stay.
void parse_fuse_blank(ChipParams& chip);

// The enhanced mid-range 14-bit core (PIC12F1xxx, PIC16F1xxx): CHIPbit 2 with the core type byte
// 04, the one the board programs these chips by. Their image files hold the user ID, the
// configuration words and the data EEPROM at words 8000h, 8007h and F000h, and their program
// memory may run past word 2000h.
bool is_enhanced_midrange(const ChipParams& chip);

} // namespace zz
