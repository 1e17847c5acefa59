#pragma once

#include "ops/chip_context.h"

#include <string>

namespace zz {

// ID and configuration words of a 12-bit or 14-bit core, verified through the information block.
// With OSCCAL preservation a BandGap chip's bits are copied into lab_fuse1 first.
bool write_fuse_chip(ChipContext& ctx);
// ID and configuration words of a 16-bit core, inside an access sequence that a program memory
// read has opened.
bool write18_fuse_chip(ChipContext& ctx);
// Opens the access sequence and reads program memory, as write18_fuse_chip needs.
bool blank_read18(ChipContext& ctx);

// The 22-byte ID/configuration block from the labels: 8 ID bytes (4 and FFFFFFFF on 12/14-bit
// cores), then the seven configuration words low byte first.
std::string id_config_block(const ChipContext& ctx);
// The normalised configuration word 1 of a one-word chip, low byte first in and out.
std::string normalised_word(const ChipParams& chip, std::string_view word);

} // namespace zz
