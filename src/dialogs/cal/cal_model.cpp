#include "dialogs/cal/cal_model.h"

#include "base/hex_text.h"
#include "dialogs/cal/cal_texts.h"
#include "dialogs/hex_entry.h"
#include "files/checksum.h"
#include "link/link_texts.h"
#include "ops/chip_read.h"
#include "ops/chip_text.h"

namespace zz {

namespace {

constexpr std::size_t kMaxWordDigits = 4;
constexpr const char* kBlankLowByte = "FF"; // an empty OSCCAL field writes the blank byte

// Busy for the length of a read, also when the read throws.
class BusyHold {
public:
    explicit BusyHold(Link& link) : link_(link) { link_.Busy = true; }
    ~BusyHold() { link_.Busy = false; }
    BusyHold(const BusyHold&) = delete;
    BusyHold& operator=(const BusyHold&) = delete;

private:
    Link& link_;
};

// Two digits, each 0 or 1: one of the four BandGap settings.
bool bandgap_bits_valid(std::string_view bits) {
    const auto binary = [](char c) { return c == '0' || c == '1'; };
    return bits.size() == CalModel::kBandgapLength && binary(bits[0]) && binary(bits[1]);
}

} // namespace

bool has_calibration_word(const ChipParams& chip) {
    return chip.CALword && (chip.CHIPbit == 1 || chip.CHIPbit == 2);
}

std::optional<std::string> bandgap_bits(std::string_view word) {
    if (word.size() > kMaxWordDigits)
        return std::nullopt;
    const std::int32_t value = hex_to_int(word);
    if (value < 0 || value > 0x3FFF)
        return std::nullopt;
    static constexpr const char* kBits[] = {"00", "01", "10", "11"};
    return kBits[value >> 12];
}

CalModel::CalModel(ChipContext ctx)
    : ctx_(std::move(ctx)), label2_(ctx_.chip.CHIPbit == 2 ? "34" : "0C") {
    if (ctx_.chip.BandGap)
        Edit2 = "11";
}

bool CalModel::set_osccal(std::string_view text) {
    const std::optional<std::string> typed = typed_text(text, kOsccalLength, hex_key);
    if (typed)
        Edit1 = *typed;
    return typed.has_value();
}

bool CalModel::set_bandgap(std::string_view text) {
    const std::optional<std::string> typed = typed_text(text, kBandgapLength, binary_key);
    if (typed)
        Edit2 = *typed;
    return typed.has_value();
}

bool CalModel::read_chip() {
    Link& link = ctx_.link;
    if (link.Busy)
        return false;
    BusyHold busy(link);
    const std::string cal = read_cal(ctx_);
    if (cal == "00") {
        ctx_.op().show_message(texts::kReadOsccalFail, texts::kError, Icon::Error);
        return false;
    }
    Edit1 = digits(cal, 3, 4);
    if (!ctx_.chip.BandGap)
        return Edit1.get().size() == kOsccalLength;
    const std::string word = read_bandgap(ctx_);
    if (word == "00") {
        ctx_.op().show_message(texts::kReadBandgapFail, texts::kError, Icon::Error);
        return false;
    }
    const std::optional<std::string> bits = bandgap_bits(word);
    if (bits)
        Edit2 = *bits;
    return bits.has_value() && Edit1.get().size() == kOsccalLength;
}

std::optional<std::string> CalModel::osccal_problem() const {
    if (!Edit1.get().empty() && Edit1.get().size() != kOsccalLength)
        return texts::kOsccalDigits;
    return std::nullopt;
}

std::optional<std::string> CalModel::bandgap_problem() const {
    if (bandgap_enabled() && !bandgap_bits_valid(Edit2.get()))
        return texts::kBandgapDigits;
    return std::nullopt;
}

std::string CalModel::word() const {
    return label2_ + (Edit1.get().empty() ? std::string(kBlankLowByte) : Edit1.get());
}

void CalModel::apply_osccal() {
    if (Edit1.get().empty())
        Edit1 = kBlankLowByte;
    Buffer& b = ctx_.buffer;
    const std::string cal = word();
    // The last cell of the grid's last program row: the chip's last word.
    if (const std::size_t cells = b.cell_count(Area::rom); cells > 0)
        b.set_cell_and_view(Area::rom, cells - 1, cal);
    b.lab_cal = "OSCCAL   0x" + cal;
}

void CalModel::apply_bandgap() {
    const std::string& bits = Edit2.get();
    if (!bandgap_enabled() || !bandgap_bits_valid(bits))
        return;
    Buffer& b = ctx_.buffer;
    set_bandgap_digit(b, static_cast<char>('0' + (bits[0] - '0') * 2 + (bits[1] - '0')));
    b.lab_band = "BandGap  " + bits;
}

bool CalModel::ok() {
    for (const auto& problem : {osccal_problem(), bandgap_problem()}) {
        if (problem) {
            ctx_.op().show_message(*problem, texts::kError, Icon::Error);
            return false;
        }
    }
    apply(true, true);
    return true;
}

void CalModel::apply(bool osccal, bool bandgap) {
    if (osccal)
        apply_osccal();
    if (bandgap)
        apply_bandgap();
    calc_checksum(ctx_.chip, ctx_.buffer);
}

} // namespace zz
