#pragma once

#include "base/hex_text.h"
#include "device/chip_params.h"

#include <string>

namespace zz::test {

// 16F877A-like: 14-bit core, 8K words, 256 bytes EEPROM, one configuration word.
inline ChipParams pic14() {
    ChipParams p;
    p.CoreType = "03";
    p.ProgramDelay = "02";
    return p;
}

// 12F508-like with a calibration word: 12-bit core, OTP when `flash` is false.
inline ChipParams pic12(bool flash = true) {
    ChipParams p;
    p.CHIPbit = 1;
    p.CoreType = "01";
    p.ROMsize = 512;
    p.EEPROMsize = 0;
    p.ROMblank = "0FFF";
    p.ChipID = "FFFF";
    p.CALword = true;
    p.FlashChip = flash;
    p.ProgramFlags = "01";
    p.fuse_blank_words[0] = 0x0FFF;
    if (!flash) {
        p.EraseMode = "00";
        p.ProgramTries = "19";
        p.OverProgram = "0B";
    }
    return p;
}

// 12F675-like: 14-bit core with calibration word and BandGap bits.
inline ChipParams pic14_bandgap() {
    ChipParams p;
    p.CoreType = "02";
    p.ROMsize = 1024;
    p.EEPROMsize = 128;
    p.ChipID = "800F";
    p.CALword = true;
    p.BandGap = true;
    p.ProgramFlags = "03";
    p.fuse_blank_words[0] = 0x31FF;
    return p;
}

// 18F452-like: 16-bit core, seven configuration words.
inline ChipParams pic18() {
    ChipParams p;
    p.CHIPbit = 3;
    p.CoreType = "05";
    p.ROMsize = 16384;
    p.ROMblank = "FFFF";
    p.ChipID = "2004";
    p.FuseWordCount = 7;
    p.fuse_blank_words = {0x27FF, 0x0F0F, 0x0100, 0x0085, 0xC00F, 0xE00F, 0x400F};
    return p;
}

// 24C02-like byte EEPROM, or 93C46 in 16-bit words.
inline ChipParams serial_eeprom(bool words) {
    ChipParams p;
    p.CHIPbit = words ? 5 : 4;
    p.CoreType = words ? "07" : "06";
    p.ProgramFlags = words ? "10" : "00";
    p.PowerSequence = "10";
    p.EraseMode = "00";
    p.ROMsize = words ? 64 : 256;
    p.EEPROMsize = 0;
    p.ROMblank = words ? "FFFF" : "FF";
    p.ChipID = "FFFF";
    p.FuseWordCount = 1;
    return p;
}

// The set-up frame "03" for a chip, as the application builds it.
inline std::string setup_frame(const ChipParams& p) {
    return "03" + to_hex(static_cast<std::uint32_t>(p.ROMsize), 4) +
           to_hex(static_cast<std::uint32_t>(p.EEPROMsize), 4) + p.CoreType + p.ProgramFlags +
           p.ProgramDelay + p.PowerSequence + p.EraseMode + p.ProgramTries + p.OverProgram;
}

} // namespace zz::test
