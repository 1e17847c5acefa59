#pragma once
// A production job: everything one run of a line needs, prepared by an engineer, released into
// the records store, and run by operators as it stands. It holds the image itself, not a path,
// so what a station programs is what was released.
#include "files/serial_number.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zz {

// A bad job file or job setting: the file and line it was found on, when there is one.
class JobError : public std::runtime_error {
public:
    JobError(const std::string& file, int line, const std::string& message);
    explicit JobError(const std::string& message) : std::runtime_error(message) {}
};

// The program steps of the window's "Program Options", and "Write finish again verify once ".
struct JobSteps {
    bool blank = true;
    bool erase = true;
    bool eeprom = true;
    bool rom = true;
    bool fuses = true;
    bool verify = true;

    bool operator==(const JobSteps&) const = default;
};

// A range of the chip read before it is erased and written back with the image: per-unit
// calibration tables, a MAC address stored on the chip.
struct PreservedRange {
    enum class Memory { rom, eeprom };
    Memory memory = Memory::eeprom;
    std::uint32_t start = 0; // words in program memory, bytes in EEPROM
    std::uint32_t end = 0;   // inclusive

    bool operator==(const PreservedRange&) const = default;
};

// "eeprom:10-17" or "rom:1F00-1F3F" (hex). Throws JobError naming what is wrong.
PreservedRange parse_preserved_range(const std::string& text);
std::string preserved_range_text(const PreservedRange& range);

// How the job numbers its chips: always from a sequence of the records store, so that every
// station of a line takes distinct numbers.
struct JobSerial {
    bool enabled = false;
    SerialSettings settings; // inc_save is never set: a job leaves files alone
    std::string sequence;

    bool operator==(const JobSerial&) const = default;
};

struct Job {
    std::string name; // the file's name without ".zzjob", unless given
    int model = 3;    // ProgrammerModel
    std::string family = "All Chip";
    std::string chip;
    std::string image_name; // the image file the job was made from, for people
    std::string image_hex;  // the image as Intel HEX in the chip's toolchain layout
    JobSteps steps;
    bool icsp = false;
    bool vpp_first = false;
    bool chip_check = true;       // false: "Do not check chip type during program"
    bool osccal_from_chip = true; // false: the calibration word comes from the image
    std::vector<std::string> fuses; // "Setting=Option", as the fuse editor names them
    std::optional<std::string> id;  // the user ID, hex
    JobSerial serial;
    std::optional<std::int64_t> quantity;
    bool require_lot = false;
    std::vector<PreservedRange> preserve;
    std::vector<std::string> notes; // free lines

    bool operator==(const Job&) const = default;
};

// The SHA-256 of the job's canonical content (its file without the name): the same job gives
// the same fingerprint wherever it is written or stored.
std::string job_fingerprint(const Job& job);
// The first 8 hex digits, as an operator confirms a job.
std::string short_fingerprint(const std::string& fingerprint);

// "line", "line@3": a released job by name, its latest or a given revision.
struct JobReference {
    std::string name;
    std::optional<std::int64_t> revision;
};
// Throws JobError for a revision that is not a number from 1.
JobReference parse_job_reference(const std::string& text);
// A job given as a file rather than by name: it ends in ".zzjob" or names a folder.
bool names_job_file(const std::string& text);

} // namespace zz
