#include "records/chip_record.h"

#include <array>

namespace zz {

namespace {
constexpr std::array<std::string_view, 4> kResultNames = {"reserved", "passed", "failed",
                                                          "abandoned"};
} // namespace

std::string_view result_name(ChipResult result) {
    return kResultNames[static_cast<std::size_t>(result)];
}

std::optional<ChipResult> result_from_name(std::string_view name) {
    for (std::size_t i = 0; i < kResultNames.size(); ++i)
        if (kResultNames[i] == name)
            return static_cast<ChipResult>(i);
    return std::nullopt;
}

ProductionRecord production_record(const ChipRecord& r) {
    ProductionRecord p;
    p.time = iso_time(r.time_ms, r.utc_offset_min);
    p.model = r.model;
    p.port = r.port;
    p.chip = r.chip;
    p.image = r.image;
    p.checksum = r.checksum;
    p.serial = r.serial;
    p.passed = r.result == ChipResult::passed;
    p.message = r.message.empty() && !p.passed && r.result != ChipResult::failed
                    ? std::string(result_name(r.result))
                    : r.message;
    p.elapsed_ms = r.elapsed_ms;
    return p;
}

} // namespace zz
