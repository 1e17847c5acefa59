#pragma once
// The job file (NAME.zzjob): one self-contained text file, INI sections for the settings and
// the image embedded as Intel HEX lines, diffable in version control. Reading a file back gives
// the job it was written from.
#include "job/job.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace zz {

// The file's text: a comment for people, then the content. `with_name` writes the job's name
// into it (a name that is not the file's).
std::string job_file_text(const Job& job, bool with_name);
// The settings and the image, always alike for the same job: without the name, what the
// fingerprint is taken of.
std::string job_content_text(const Job& job, bool with_name);

// A job file read back, with the line each setting stood on, for the checks made afterwards
// against the chip.
struct JobFile {
    Job job;
    std::string file; // as messages name it
    // "chip.chip", "fuses.set.1" (the second), "image": the line of each setting.
    std::map<std::string, int> line_of;

    // The key of the n-th (from 0) of a key that may repeat: "fuses.set", "fuses.set.1" ...
    static std::string repeated(const std::string& key, std::size_t n) {
        return n == 0 ? key : key + "." + std::to_string(n);
    }
    // The error for the setting `key`, naming the file and its line.
    JobError error(const std::string& key, const std::string& message) const;
};

// Throws JobError naming the file and line: an unknown section or key, a key given twice, a
// value that is not what its key takes, an embedded image whose recorded SHA-256 differs.
// `default_name`: the job's name when the file gives none.
JobFile parse_job_text(std::string_view text, const std::string& file,
                       const std::string& default_name);
// The file, named after its path; its name is the file's name without ".zzjob" unless it gives
// one. Throws JobError also when it cannot be read.
JobFile read_job_file(const std::filesystem::path& path);
// Replaces the file only once the new one is complete. Throws std::runtime_error.
void write_job_file(const std::filesystem::path& path, const Job& job, bool with_name);

// The job's name a file gives by its path: its file name without ".zzjob".
std::string job_name_of(const std::filesystem::path& path);

} // namespace zz
