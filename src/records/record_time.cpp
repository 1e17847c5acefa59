#include "records/record_time.h"

#include <chrono>
#include <ctime>
#include <regex>
#include <string>

namespace zz {

namespace {

std::optional<std::int64_t> span_back(std::string_view text, std::int64_t now_ms) {
    static const std::regex kSpan(R"(^(\d{1,6})([smhd])$)");
    std::cmatch m;
    if (!std::regex_match(text.begin(), text.end(), m, kSpan))
        return std::nullopt;
    const std::int64_t unit_ms = m[2] == "s"   ? 1000
                                 : m[2] == "m" ? 60'000
                                 : m[2] == "h" ? 3'600'000
                                               : 86'400'000;
    return now_ms - std::stoll(m[1]) * unit_ms;
}

int field(const std::csub_match& m, int otherwise = 0) {
    return m.matched ? std::stoi(m.str()) : otherwise;
}

} // namespace

std::int64_t utc_now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::optional<std::int64_t> parse_since(std::string_view text, std::int64_t now_ms) {
    if (const std::optional<std::int64_t> back = span_back(text, now_ms))
        return back;
    static const std::regex kMoment(R"(^(\d{4})-(\d{2})-(\d{2}))"
                                    R"((?:[T ](\d{2}):(\d{2})(?::(\d{2}))?)?)"
                                    R"((Z|([+-])(\d{2}):?(\d{2}))?$)");
    std::cmatch m;
    if (!std::regex_match(text.begin(), text.end(), m, kMoment))
        return std::nullopt;
    std::tm t{};
    t.tm_year = field(m[1]) - 1900;
    t.tm_mon = field(m[2]) - 1;
    t.tm_mday = field(m[3]);
    t.tm_hour = field(m[4]);
    t.tm_min = field(m[5]);
    t.tm_sec = field(m[6]);
    // mktime would roll 31 February into March; a day the month lacks is refused instead.
    const std::chrono::year_month_day day{std::chrono::year{field(m[1])},
                                          std::chrono::month{unsigned(field(m[2]))},
                                          std::chrono::day{unsigned(field(m[3]))}};
    if (!day.ok() || t.tm_hour > 23 || t.tm_min > 59 || t.tm_sec > 60)
        return std::nullopt;
    if (!m[7].matched) {
        t.tm_isdst = -1; // local time, with or without summer time as that day has it
        return static_cast<std::int64_t>(std::mktime(&t)) * 1000;
    }
    const int sign = m[8] == "-" ? -1 : 1;
    const int offset_min = sign * (field(m[9]) * 60 + field(m[10]));
    return (static_cast<std::int64_t>(timegm(&t)) - offset_min * 60) * 1000;
}

} // namespace zz
