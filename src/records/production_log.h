#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace zz {

// One chip the Program command (or the production loop) finished.
struct ProductionRecord {
    std::string time;     // ISO 8601 local time with its offset, when the chip was finished
    std::string model;    // the programmer model's name ("RO-ZUZ330")
    std::string port;     // the port's name
    std::string chip;     // the selected chip
    std::string image;    // the image file (the current file)
    std::string checksum; // of the buffer, "0x1A2B"
    std::string serial;   // the number as programmed; empty when numbering is off
    bool passed = false;
    std::string message; // the failing step's message, on one line
    std::int64_t elapsed_ms = 0;
};

// A time in ms since 1970 (UTC) shown at an offset from UTC in minutes:
// "2026-12-08T14:03:07.123+01:00".
std::string iso_time(std::int64_t utc_ms, int utc_offset_min);
// The machine's offset from UTC at `utc_ms` (its time zone), in minutes.
int local_utc_offset_min(std::int64_t utc_ms);

// A CSV field: quoted (quotes doubled) when it holds a comma, a quote, a line break or blanks at
// either end.
std::string csv_field(std::string_view text);
// The record as one CSV line, ended by "\n".
std::string csv_line(const ProductionRecord& record);
// The first line of a new log.
std::string_view csv_header();

// The production log: a CSV file that each record is appended to with one write(2) on a
// descriptor opened with O_APPEND, so a crash never leaves half a line and several programs (or
// several sessions of one program, on their own threads) can share the file. One object may be
// shared by sessions on several threads.
class ProductionLog {
public:
    // Opens the file for appending, creating it (with the header line) when it does not exist.
    // Throws std::runtime_error naming the file and the reason.
    explicit ProductionLog(std::filesystem::path path);
    ~ProductionLog();
    ProductionLog(const ProductionLog&) = delete;
    ProductionLog& operator=(const ProductionLog&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Appends the record and flushes it to the disk. Throws std::runtime_error on failure.
    void append(const ProductionRecord& record) const;

private:
    void write_line(std::string_view line) const;

    std::filesystem::path path_;
    int fd_ = -1;
};

} // namespace zz
