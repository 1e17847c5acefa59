#pragma once

#include "records/records_store.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zz {

// The "Production Records" view without its widgets: the last chips on record (newest first),
// narrowed to one serial number when one is typed, and today's chips hour by hour, passed and
// failed, as the bars of a chart. It reads the store again on refresh(), which the view calls
// as chips finish.
class RecordsViewModel {
public:
    static constexpr int kLastChips = 200;
    static constexpr int kColumnCount = 8;
    static constexpr std::size_t kFilterLength = 32; // hex digits of a serial number

    // `store` may be null: no records database is open, and `error` says why. `now` gives UTC
    // ms since 1970 (empty: the system clock).
    RecordsViewModel(RecordsStore* store, std::string error = {},
                     std::function<std::int64_t()> now = {});

    // The filter field: a keystroke's character, or 0 when it is swallowed ('\b' is backspace);
    // hex digits are taken in upper case.
    static char filter_key(char key);
    // The serial number to show (empty: every chip); a text that is not hex shows none.
    void set_filter(std::string serial);
    const std::string& filter() const { return filter_; }

    // Reads the chips and today's hours from the store. A store that cannot be read keeps what
    // was shown and says why in status().
    void refresh();

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

    RecordsStore* store_;
    std::string error_;
    std::function<std::int64_t()> now_;
    std::string filter_;
    std::vector<ChipRecord> rows_;
    std::array<HourCount, 24> hours_{};
};

} // namespace zz
