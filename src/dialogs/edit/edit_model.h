#pragma once

#include "base/operator.h"
#include "device/buffer.h"
#include "device/chip_params.h"
#include "dialogs/edit/edit_grid.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zz {

// The fill fields of the buffer edit dialog.
enum class FillField {
    rom_start,    // Edit1 "Start Addr"
    rom_end,      // Edit2 "End Addr"
    rom_value,    // Edit3 "Fill value"
    eeprom_start, // Edit4
    eeprom_end,   // Edit5
    eeprom_value, // Edit6
};

// The buffer edit dialog: private copies of the program memory (StringGrid1) and data EEPROM
// (StringGrid2) images, edited cell by cell and filled by address ranges. The buffer changes only
// when OK has found every cell complete; the images then wait in RomImageText and
// EepromImageText for the dialog to close.
class EditModel {
public:
    EditModel(const ChipParams& chip, Buffer& buffer, Operator& op);

    EditGrid& rom_grid() { return rom_; }
    EditGrid& eeprom_grid() { return eeprom_; }
    // The EEPROM grid and the "EEPROM Fill" group are shown: the chip has data EEPROM.
    bool has_eeprom() const { return chip_.EEPROMsize != 0; }

    // The most characters a fill field takes.
    std::size_t field_max(FillField field) const;
    const std::string& field(FillField field) const;
    // The field's text as typed or pasted into it; false (field unchanged) when a key of it would
    // be swallowed or it is too long.
    bool set_field(FillField field, std::string_view text);

    // "Start fill" of each group: the checks in order, the first failing one shown; true when the
    // range was filled.
    bool rom_fill();
    bool eeprom_fill();

    // OK: every cell complete, then the images handed over; true when the dialog closes.
    bool ok();

private:
    struct FillChecks;
    bool fill(EditGrid& grid, std::int64_t size, FillField first_field, const FillChecks& checks);
    std::optional<std::string> rom_image() const;
    std::optional<std::string> eeprom_image() const;

    const ChipParams& chip_;
    Buffer& buffer_;
    Operator& op_;
    EditGrid rom_;
    EditGrid eeprom_;
    std::array<std::string, 6> fields_;
};

} // namespace zz
