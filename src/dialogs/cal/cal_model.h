#pragma once

#include "base/observable.h"
#include "ops/chip_context.h"

#include <optional>
#include <string>
#include <string_view>

namespace zz {

// The chip keeps a calibration instruction in its last program word: a CALword chip of the
// 12-bit or 14-bit core.
bool has_calibration_word(const ChipParams& chip);

// The BandGap bits ("00" ... "11") of configuration word 1 given as one to four hex digits;
// nothing for a value above 3FFF or text that is not hex.
std::optional<std::string> bandgap_bits(std::string_view word);

// The OSCCAL / BandGap dialog: the chip's calibration value and BandGap bits, read from the chip
// on request and written into the buffer on OK. Fields carry their component names.
class CalModel {
public:
    static constexpr std::size_t kOsccalLength = 2;  // Edit1: the low byte
    static constexpr std::size_t kBandgapLength = 2; // Edit2: bits 13 and 12

    // Opens the dialog for the context's chip and buffer.
    explicit CalModel(ChipContext ctx);

    // The fixed high byte of the calibration word: the core's calibration opcode.
    const std::string& Label2() const { return label2_; }
    // Label3 and Edit2 can be used: the chip has BandGap bits.
    bool bandgap_enabled() const { return ctx_.chip.BandGap; }

    Value<std::string> Edit1; // "OSCCAL Value"
    Value<std::string> Edit2; // "Bandgap"

    // The fields as the operator typed or pasted into them; false (field unchanged) when a key of
    // the text would be swallowed or the text is too long.
    bool set_osccal(std::string_view text);
    bool set_bandgap(std::string_view text);

    // "Read Chip": the calibration value, then the BandGap bits, from the chip. Does nothing while
    // the board is busy. True when every value wanted was read and recognised.
    bool read_chip();

    // OK: writes the calibration word (and the BandGap bits) into the buffer; true when the dialog
    // closes. A value that is not complete is refused with a message and nothing is written.
    bool ok();

    // The parts of OK, for callers that set one value only. The checks return the message that
    // refuses the field, or nothing.
    std::optional<std::string> osccal_problem() const;
    std::optional<std::string> bandgap_problem() const;
    // Writes the checked values chosen, then recomputes the checksum, which counts configuration
    // word 1.
    void apply(bool osccal, bool bandgap);

    // Label2 followed by the value OK would write.
    std::string word() const;

private:
    void apply_osccal();
    void apply_bandgap();

    ChipContext ctx_;
    std::string label2_;
};

} // namespace zz
