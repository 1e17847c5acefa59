#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zz {

// Builds Intel HEX text: upper-case digits, CR LF line ends, each record closed by the two's
// complement of the low byte of the sum of its bytes.
class HexWriter {
public:
    // A type 4 record: the upper 16 bits of the byte addresses that follow.
    void upper_address(std::uint16_t upper);
    // A data record at byte address `address`, announcing its upper 16 bits first when they
    // differ from the last announced (0 at the start).
    void data(std::uint32_t address, std::span<const std::uint8_t> bytes);
    // The end-of-file record.
    void end();

    std::string& text() { return text_; }

private:
    void record(std::uint16_t address, std::uint8_t type, std::span<const std::uint8_t> bytes);

    std::string text_;
    std::uint16_t upper_ = 0;
};

} // namespace zz
