#include "records/production_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zz {

namespace {

constexpr std::string_view kHeader =
    "time,model,port,chip,image,checksum,serial,result,message,elapsed_ms\n";

[[noreturn]] void fail(const std::string& what, const std::filesystem::path& path, int error) {
    throw std::runtime_error(what + " " + path.string() + ": " + std::strerror(error));
}

} // namespace

int local_utc_offset_min(std::int64_t utc_ms) {
    const auto seconds = static_cast<std::time_t>(utc_ms / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    return static_cast<int>(local.tm_gmtoff / 60);
}

std::string iso_time(std::int64_t utc_ms, int utc_offset_min) {
    const std::int64_t local_ms = utc_ms + std::int64_t{utc_offset_min} * 60000;
    std::int64_t seconds = local_ms / 1000;
    std::int64_t millis = local_ms % 1000;
    if (millis < 0) {
        millis += 1000;
        --seconds;
    }
    const auto shown = static_cast<std::time_t>(seconds);
    std::tm fields{};
    gmtime_r(&shown, &fields);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &fields);
    const int offset = utc_offset_min < 0 ? -utc_offset_min : utc_offset_min;
    char tail[24];
    std::snprintf(tail, sizeof tail, ".%03d%c%02d:%02d", static_cast<int>(millis),
                  utc_offset_min < 0 ? '-' : '+', offset / 60, offset % 60);
    return date + std::string(tail);
}

std::string csv_field(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote)
        return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string csv_line(const ProductionRecord& r) {
    const std::string_view fields[] = {r.time,   r.model,    r.port,   r.chip,
                                       r.image,  r.checksum, r.serial, r.passed ? "pass" : "fail",
                                       r.message};
    std::string line;
    for (std::string_view field : fields)
        line += csv_field(field) + ",";
    return line + std::to_string(r.elapsed_ms) + "\n";
}

std::string_view csv_header() {
    return kHeader;
}

ProductionLog::ProductionLog(std::filesystem::path path) : path_(std::move(path)) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        fail("cannot open", path_, errno);
    // Whoever finds the file empty writes the header; the lock keeps two programs opening a new
    // log at once from both writing it.
    struct stat st {};
    if (::flock(fd_, LOCK_EX) != 0 || ::fstat(fd_, &st) != 0) {
        const int error = errno;
        ::close(fd_);
        fail("cannot open", path_, error);
    }
    try {
        if (st.st_size == 0)
            write_line(kHeader);
    } catch (...) {
        ::close(fd_);
        throw;
    }
    ::flock(fd_, LOCK_UN);
}

ProductionLog::~ProductionLog() {
    ::close(fd_);
}

void ProductionLog::append(const ProductionRecord& record) const {
    write_line(csv_line(record));
}

void ProductionLog::write_line(std::string_view line) const {
    while (!line.empty()) {
        const ssize_t n = ::write(fd_, line.data(), line.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail("cannot write", path_, n < 0 ? errno : ENOSPC);
        line.remove_prefix(static_cast<std::size_t>(n));
    }
    if (::fdatasync(fd_) != 0)
        fail("cannot write", path_, errno);
}

} // namespace zz
