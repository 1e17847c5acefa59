#pragma once

// What the fuzz targets share: chips of every memory organisation from the committed databases,
// a scratch folder, and an operator that answers questions from the input.

#include "base/operator.h"
#include "device/chip_database.h"
#include "device/chip_params.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <unistd.h>
#include <vector>

namespace zz::fuzz {

// Small chips, so that one input runs in well under a millisecond: each CHIPbit, a chip with a
// calibration word and BandGap bits, a 16-bit core.
inline const std::vector<ChipParams>& fuzz_chips() {
    static const std::vector<ChipParams> chips = [] {
        const ChipDatabase database(ZZ_SOURCE_DIR "/data");
        std::vector<ChipParams> loaded;
        for (const char* name :
             {"10F200", "12F629", "16F84A", "18F1220", "24xx01", "93xx46(16bit)"})
            loaded.push_back(database.load(3, name, ChipParams{}));
        return loaded;
    }();
    return chips;
}

// A folder of the process's own, removed at exit; in memory where the system offers it, since
// saving a file waits for the disk.
inline const std::filesystem::path& scratch_dir() {
    static const std::filesystem::path dir = [] {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "zz-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        static const std::string removed = pattern;
        std::atexit([] { std::filesystem::remove_all(removed); });
        return std::filesystem::path(pattern);
    }();
    return dir;
}

// Reads the input front to back; past its end every read gives zero.
class InputReader {
public:
    explicit InputReader(std::span<const std::uint8_t> data) : data_(data) {}
    std::uint8_t byte() { return at_ < data_.size() ? data_[at_++] : 0; }
    std::span<const std::uint8_t> bytes(std::size_t count) {
        const std::size_t n = std::min(count, data_.size() - at_);
        const auto part = data_.subspan(at_, n);
        at_ += n;
        return part;
    }
    std::span<const std::uint8_t> rest() { return bytes(data_.size() - at_); }
    bool done() const { return at_ >= data_.size(); }

private:
    std::span<const std::uint8_t> data_;
    std::size_t at_ = 0;
};

// Shows nothing; answers each question with the next bit of `answers`, makes no tone.
class ScriptedOperator : public Operator {
public:
    explicit ScriptedOperator(std::uint8_t answers) : answers_(answers) {}
    void show_message(std::string_view, std::string_view, Icon) override {}
    bool ask_yes_no(std::string_view, std::string_view) override {
        const bool yes = answers_ & 1;
        answers_ = static_cast<std::uint8_t>(answers_ >> 1 | answers_ << 7);
        return yes;
    }
    bool play_tone(int, int) override { return true; }

private:
    std::uint8_t answers_;
};

} // namespace zz::fuzz
