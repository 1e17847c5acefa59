// Fuse description lines (LIST1 ... LIST46 of a chip definition) of any content.
#include "device/fuse_line.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const zz::FuseLine parsed = zz::parse_fuse_line(line);
    const int word = zz::fuse_line_word(parsed.prefix);
    if (word < 1 || word > 7)
        __builtin_trap();
    for (const zz::FuseOption& option : parsed.options)
        if (option.value < -1 || option.value > 0xFFFF)
            __builtin_trap(); // one to four hex digits, or -1
    return 0;
}
