#include "job/job.h"

#include "base/hex_text.h"
#include "base/sha256.h"
#include "job/job_file.h"

#include <charconv>

namespace zz {

JobError::JobError(const std::string& file, int line, const std::string& message)
    : std::runtime_error(file + (line > 0 ? ", line " + std::to_string(line) : "") + ": " +
                         message) {}

namespace {

// 1 to 8 hex digits, optionally after "0x".
std::optional<std::uint32_t> hex_number(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X"))
        text.remove_prefix(2);
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || text.size() > 8 || ec != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

PreservedRange parse_preserved_range(const std::string& text) {
    const auto colon = text.find(':');
    const auto dash = text.find('-', colon == std::string::npos ? 0 : colon);
    const std::string memory = text.substr(0, colon);
    const std::string usage = "a preserved range is eeprom:START-END or rom:START-END in hex, "
                              "not \"" + text + "\"";
    if (colon == std::string::npos || dash == std::string::npos ||
        (memory != "eeprom" && memory != "rom"))
        throw JobError(usage);
    const auto start = hex_number(std::string_view(text).substr(colon + 1, dash - colon - 1));
    const auto end = hex_number(std::string_view(text).substr(dash + 1));
    if (!start || !end)
        throw JobError(usage);
    if (*end < *start)
        throw JobError("the preserved range " + text + " ends before it starts");
    return {memory == "rom" ? PreservedRange::Memory::rom : PreservedRange::Memory::eeprom, *start,
            *end};
}

std::string preserved_range_text(const PreservedRange& r) {
    return std::string(r.memory == PreservedRange::Memory::rom ? "rom:" : "eeprom:") +
           to_hex(r.start, 4) + "-" + to_hex(r.end, 4);
}

std::string job_fingerprint(const Job& job) {
    return sha256_hex(job_content_text(job, false));
}

std::string short_fingerprint(const std::string& fingerprint) {
    return fingerprint.substr(0, 8);
}

JobReference parse_job_reference(const std::string& text) {
    const auto at = text.rfind('@');
    if (at == std::string::npos)
        return {text, std::nullopt};
    const std::string digits = text.substr(at + 1);
    std::int64_t revision = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), revision);
    if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size() ||
        revision < 1)
        throw JobError("\"" + text + "\": a job's revision is a number from 1 (NAME@REV)");
    return {text.substr(0, at), revision};
}

bool names_job_file(const std::string& text) {
    return text.ends_with(".zzjob") || text.find('/') != std::string::npos;
}

} // namespace zz
