#pragma once
// A job made concrete for its chip: every setting checked against the chip database, and the
// buffer a station programs.
#include "device/buffer.h"
#include "device/chip_database.h"
#include "device/chip_params.h"
#include "job/job.h"
#include "job/job_file.h"

#include <string>

namespace zz {

// A setting of the job that its chip does not allow; `key` names it as the job file does
// ("chip.chip", "fuses.set.1", "serial.end", "image").
class JobSettingError : public JobError {
public:
    JobSettingError(std::string key, const std::string& message)
        : JobError(message), key_(std::move(key)) {}
    const std::string& key() const { return key_; }

private:
    std::string key_;
};

// The job made concrete: its chip's parameters, and the buffer a station programs (`buffer`
// is laid out for the chip and filled with the image, the fuse settings and the ID; its serial
// cells as the image holds them). Returns the chip's parameters. Throws JobSettingError: a
// model, family or chip the database does not know, a step or mode the chip does not have, an
// image that does not load cleanly, a fuse setting, ID, serial number or preserved range the
// chip does not allow.
ChipParams build_job_image(const Job& job, const ChipDatabase& database, Buffer& buffer);

// A job file checked against the chip database: build_job_image into `buffer`, with a refusal
// turned into a JobError naming the file and the line of the setting at fault.
ChipParams check_job_file(const JobFile& file, const ChipDatabase& database, Buffer& buffer);

// The job checksum: the buffer checksum with the serial cells and preserved ranges counted at
// their erased value, the same for every chip of the job. "0x1A2B".
std::string job_checksum(const Job& job, const ChipParams& chip, const Buffer& buffer);

} // namespace zz
