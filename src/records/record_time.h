#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zz {

// Now, as UTC ms since 1970: the time records are stamped with.
std::int64_t utc_now_ms();

// A moment to list records from, as a person types it: a date "2026-12-08" (its local
// midnight), a date and time "2026-12-08T14:00" or "2026-12-08 14:00:30" in local time, or with
// "Z" or an offset "+01:00" after it, or a span back from `now_ms`: "45s", "30m", "8h", "7d".
// UTC ms since 1970; nullopt for anything else (a 13th month, a 25th hour, a bare number).
std::optional<std::int64_t> parse_since(std::string_view text, std::int64_t now_ms);

} // namespace zz
