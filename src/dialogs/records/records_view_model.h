#pragma once

#include "records/records_store.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zz {

// One read of the store, as the view asks for it: made on the window's thread, run off it.
struct RecordsQuery {
    RecordsStore* store = nullptr;
    std::string filter;      // the serial number typed (empty: every chip)
    std::int64_t now_ms = 0; // UTC ms: "today" is the local day that holds it
};

// What one read gave.
struct RecordsSnapshot {
    std::string filter;           // the query's
    std::vector<ChipRecord> rows; // newest first
    std::array<HourCount, 24> hours{};
    std::string error; // the store could not be read; empty: it was
};

// Reads the last chips and today's hours. It may wait as long as the store's deadline (5 s) for
// a database that is away: never call it on the window's thread.
RecordsSnapshot read_records(const RecordsQuery& query);

// The "Production Records" view without its widgets: the last chips on record (newest first),
// narrowed to one serial number when one is typed, and today's chips hour by hour, passed and
// failed, as the bars of a chart. The view asks for a read with request(), runs the query off
// its thread, and hands the answer to apply(); one read runs at a time.
class RecordsViewModel {
public:
    static constexpr int kLastChips = 200;
    static constexpr int kColumnCount = 8;
    static constexpr std::size_t kFilterLength = 32; // hex digits of a serial number

    // `now` gives UTC ms since 1970 (empty: the system clock).
    explicit RecordsViewModel(std::function<std::int64_t()> now = {});

    // The store to read; null while there is none, `why_none` says why.
    void set_store(RecordsStore* store, std::string why_none = {});

    // The filter field: a keystroke's character, or 0 when it is swallowed ('\b' is backspace);
    // hex digits are taken in upper case.
    static char filter_key(char key);
    // The serial number to show (empty: every chip); a text that is not hex shows none.
    void set_filter(std::string serial);
    const std::string& filter() const { return filter_; }

    // The read to run now; nullopt without a store, or while one runs (another follows it).
    std::optional<RecordsQuery> request();
    // The read's answer: shown, unless it was for an earlier filter. A store that could not be
    // read keeps what was shown and says why in status(). The next read to run when more were
    // asked for meanwhile.
    std::optional<RecordsQuery> apply(RecordsSnapshot snapshot);
    bool reading() const { return reading_; }

    int row_count() const { return static_cast<int>(rows_.size()); }
    static std::string header(int column);
    std::string cell(int row, int column) const;
    // The chip did not pass: the view marks its row.
    bool failed(int row) const;
    // "14 chips shown; today 40 passed, 2 failed, yield 95.2 %", or why nothing can be shown.
    std::string status() const;

    // One hour's bar, its parts in pixels of a chart `height` high, scaled to the busiest hour.
    struct Bar {
        int passed = 0;
        int failed = 0;
    };
    std::array<Bar, 24> bars(int height) const;
    const std::array<HourCount, 24>& hours() const { return hours_; }

private:
    std::int64_t now_ms() const;

    RecordsStore* store_ = nullptr;
    std::string why_none_ = "no records database is open";
    std::function<std::int64_t()> now_;
    std::string filter_;
    bool reading_ = false;
    bool read_again_ = false;
    bool read_once_ = false; // an answer is in
    std::string error_;
    std::vector<ChipRecord> rows_;
    std::array<HourCount, 24> hours_{};
};

} // namespace zz
