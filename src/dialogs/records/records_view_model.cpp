#include "dialogs/records/records_view_model.h"

#include "records/production_log.h"
#include "records/record_time.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace zz {

namespace {

constexpr const char* kHeaders[RecordsViewModel::kColumnCount] = {
    "Time", "Station", "Port", "Chip", "Serial", "Result", "ms", "Message"};

bool is_hex(const std::string& text) {
    return text.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
}

// "2026-12-08T14:03:07.123+01:00" as "2026-12-08 14:03:07", the station's local time.
std::string shown_time(const ChipRecord& r) {
    std::string text = iso_time(r.time_ms, r.utc_offset_min).substr(0, 19);
    text[10] = ' ';
    return text;
}

// `count` of `most` in pixels of `height`; a count above zero shows at least one.
int scaled(std::int64_t count, std::int64_t most, int height) {
    if (count <= 0 || most <= 0)
        return 0;
    return std::max(1, static_cast<int>((count * height + most / 2) / most));
}

} // namespace

RecordsSnapshot read_records(const RecordsQuery& query) {
    RecordsSnapshot snapshot;
    snapshot.filter = query.filter;
    if (!query.store)
        return snapshot;
    RecordFilter filter;
    filter.serial = query.filter;
    filter.last = RecordsViewModel::kLastChips;
    try {
        if (is_hex(query.filter))
            snapshot.rows = query.store->records(filter);
        std::reverse(snapshot.rows.begin(), snapshot.rows.end());
        snapshot.hours = query.store->hourly(local_day_start_ms(query.now_ms));
    } catch (const StoreError& e) {
        snapshot.error = e.what();
    }
    return snapshot;
}

RecordsViewModel::RecordsViewModel(std::function<std::int64_t()> now) : now_(std::move(now)) {}

void RecordsViewModel::set_store(RecordsStore* store, std::string why_none) {
    store_ = store;
    why_none_ = std::move(why_none);
}

std::int64_t RecordsViewModel::now_ms() const {
    return now_ ? now_() : utc_now_ms();
}

char RecordsViewModel::filter_key(char key) {
    if (key == '\b' || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'F'))
        return key;
    if (key >= 'a' && key <= 'f')
        return static_cast<char>(key - 'a' + 'A');
    return 0;
}

void RecordsViewModel::set_filter(std::string serial) {
    std::transform(serial.begin(), serial.end(), serial.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    filter_ = std::move(serial);
}

std::optional<RecordsQuery> RecordsViewModel::request() {
    if (!store_)
        return std::nullopt;
    if (reading_) {
        read_again_ = true;
        return std::nullopt;
    }
    reading_ = true;
    return RecordsQuery{store_, filter_, now_ms()};
}

std::optional<RecordsQuery> RecordsViewModel::apply(RecordsSnapshot snapshot) {
    reading_ = false;
    if (snapshot.filter == filter_) {
        read_once_ = true;
        error_ = std::move(snapshot.error);
        if (error_.empty()) {
            rows_ = std::move(snapshot.rows);
            hours_ = snapshot.hours;
        }
    } else {
        read_again_ = true; // the filter changed meanwhile: its own read follows
    }
    if (!std::exchange(read_again_, false))
        return std::nullopt;
    return request();
}

std::string RecordsViewModel::header(int column) {
    return column >= 0 && column < kColumnCount ? kHeaders[column] : "";
}

std::string RecordsViewModel::cell(int row, int column) const {
    if (row < 0 || row >= row_count())
        return {};
    const ChipRecord& r = rows_[static_cast<std::size_t>(row)];
    switch (column) {
    case 0:
        return shown_time(r);
    case 1:
        return r.station;
    case 2:
        return r.port;
    case 3:
        return r.chip;
    case 4:
        return r.serial;
    case 5:
        return std::string(result_name(r.result));
    case 6:
        return std::to_string(r.elapsed_ms);
    case 7:
        return r.message;
    default:
        return {};
    }
}

bool RecordsViewModel::failed(int row) const {
    return row >= 0 && row < row_count() &&
           rows_[static_cast<std::size_t>(row)].result != ChipResult::passed &&
           rows_[static_cast<std::size_t>(row)].result != ChipResult::reserved;
}

std::string RecordsViewModel::status() const {
    if (!store_)
        return "No records database: " + why_none_;
    if (!error_.empty())
        return "The records database cannot be read: " + error_;
    if (!read_once_)
        return "Reading the records database...";
    HourCount day;
    for (const HourCount& hour : hours_) {
        day.passed += hour.passed;
        day.failed += hour.failed;
    }
    std::string text = std::to_string(rows_.size()) + " chips shown; today " +
                       std::to_string(day.passed) + " passed, " + std::to_string(day.failed) +
                       " failed";
    if (day.passed + day.failed > 0) {
        char yield[32];
        std::snprintf(yield, sizeof yield, ", yield %.1f %%",
                      100.0 * static_cast<double>(day.passed) /
                          static_cast<double>(day.passed + day.failed));
        text += yield;
    }
    return text;
}

std::array<RecordsViewModel::Bar, 24> RecordsViewModel::bars(int height) const {
    std::int64_t most = 0;
    for (const HourCount& hour : hours_)
        most = std::max(most, hour.passed + hour.failed);
    std::array<Bar, 24> out{};
    for (std::size_t h = 0; h < out.size(); ++h) {
        const int failed = scaled(hours_[h].failed, most, height);
        out[h] = Bar{std::min(scaled(hours_[h].passed, most, height), height - failed), failed};
    }
    return out;
}

} // namespace zz
