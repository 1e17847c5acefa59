#pragma once

#include "records/production_log.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zz {

enum class ChipResult {
    reserved, // a number is taken and the chip is being programmed
    passed,
    failed,
    abandoned, // the number was taken but the chip never finished: a stop, or its station died
};

std::string_view result_name(ChipResult result); // "reserved", "passed", "failed", "abandoned"
std::optional<ChipResult> result_from_name(std::string_view name);

// One chip on record in the store.
struct ChipRecord {
    std::string id;           // unique; made by the store when the chip is recorded or reserved
    std::int64_t time_ms = 0; // UTC, ms since 1970: when it finished (reserved: when reserved)
    int utc_offset_min = 0;   // the station's offset from UTC then, in minutes
    std::string station;      // the store's station name
    std::string model;        // the programmer model ("RO-ZUZ330")
    std::string port;
    std::string firmware;     // the board's firmware version; empty when not known
    std::string chip;         // the selected chip
    std::string device_id;    // as read from the chip; empty when not read
    std::string image;        // the image file
    std::string image_sha256; // of the image file, 64 hex digits
    std::string checksum;     // of the buffer, "0x1A2B"
    std::string serial;       // the number as programmed; empty when numbering is off
    std::string sequence;     // the sequence it was taken from; empty when none
    ChipResult result = ChipResult::failed;
    std::string message; // the failing step's message, on one line
    std::int64_t elapsed_ms = 0;
    // The production job the chip was made for; empty job: none. Revision 0 is a job file an
    // engineer ran before it was released.
    std::string job;
    std::int64_t job_revision = 0;
    std::string job_fingerprint; // 64 hex digits
    std::string job_checksum;    // "0x1A2B": the same for every chip of the job
    std::string lot;
    std::string operator_name;
    // What was read from the chip and written back: "eeprom:0010-0017=0102...;rom:..."
    std::string preserved;

    bool operator==(const ChipRecord&) const = default;
};

// The record as a line of the CSV production log (which knows only pass and fail: a chip that
// did not pass is "fail", an abandoned one with "abandoned" as its message when it has none).
ProductionRecord production_record(const ChipRecord& record);

} // namespace zz
