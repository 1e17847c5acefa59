// Image files of any content, read as Intel HEX or as a binary image for each memory
// organisation: reading never fails in a way the sanitizers see, and the buffer it leaves is
// saved as Intel HEX and read back unchanged.
#include "files/checksum.h"
#include "files/hex_export.h"
#include "files/hex_import.h"
#include "fuzz_support.h"

#include <fstream>

namespace zz::fuzz {
namespace {

void write_file(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// What a save keeps of the buffer.
std::vector<std::string> saved_state(const Buffer& b) {
    std::vector<std::string> state{b.buffer_rom(), b.buffer_eeprom(), b.lab_id1.get()};
    for (int n = 1; n <= 7; ++n)
        state.push_back(b.lab_fuse(n).get());
    return state;
}

} // namespace
} // namespace zz::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zz;
    using namespace zz::fuzz;
    InputReader in({data, size});
    const ChipParams& chip = fuzz_chips()[in.byte() % fuzz_chips().size()];
    const bool hex = (in.byte() & 1) != 0;
    const std::filesystem::path image = scratch_dir() / (hex ? "image.hex" : "image.bin");
    write_file(image, in.rest());

    Buffer buffer;
    buffer.clrbuffer(chip);
    if (!read_image_file(chip, buffer, image).ok)
        return 0;
    calc_checksum(chip, buffer);

    const std::filesystem::path saved = scratch_dir() / "saved.hex";
    export_hex_file(chip, buffer, saved);
    Buffer again;
    again.clrbuffer(chip);
    read_image_file(chip, again, saved);
    if (saved_state(again) != saved_state(buffer))
        __builtin_trap(); // the save lost or changed what the file had put in the buffer
    return 0;
}
