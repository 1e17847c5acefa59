#pragma once

#include "base/observable.h"
#include "device/buffer_shape.h"
#include "device/cell_store.h"
#include "device/chip_params.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

enum class Area { rom, eeprom };

// Rows that changed: [first_row, last_row]; `layout` when the row count or the chip changed.
struct BufferChange {
    int first_row = 0;
    int last_row = 0;
    bool layout = false;
};

// The chip's memory images as hex text, cell by cell, with the printable view of each cell,
// and the values shown in the labels beside the grid (configuration words, ID, OSCCAL, BandGap,
// checksum). Every text form is that of the buffer grid: program cells four hex digits (two for
// CHIPbit 4), EEPROM cells two.
class Buffer {
public:
    static constexpr int kColumnCount = 19; // address, 8 cells, spacer, 8 views, selection
    static constexpr int kFirstViewColumn = 10;

    // Laid out and blank for a chip with every key at its default.
    Buffer();

    // Lays the buffer out for the chip and blanks it: program cells ROMblank, EEPROM cells "FF",
    // the blank printable texts; clears SerialNumberEnabled.
    void clrbuffer(const ChipParams& chip);

    const BufferShape& shape() const { return shape_; }
    std::size_t cell_count(Area area) const;
    int row_count() const { return shape_.row_count(); }

    // Cell text and printable text; empty past the end. Valid until the next change.
    std::string_view cell(Area area, std::size_t index) const;
    std::string_view view(Area area, std::size_t index) const;
    // Writes past the end are ignored.
    void set_cell(Area area, std::size_t index, std::string_view text);
    void set_view(Area area, std::size_t index, std::string_view text);
    // Sets the cell and its printable text (showchar4bit for word cells, showchar2bit for bytes).
    void set_cell_and_view(Area area, std::size_t index, std::string_view text);

    // The text of grid cell (row, column), columns 0 ... 18; empty outside the grid.
    std::string grid_text(int row, int column) const;

    // Program memory / EEPROM cells concatenated in address order.
    std::string buffer_rom() const;
    std::string buffer_eeprom() const;
    // Moves RomImageText / EepromImageText into the cells (at most as many groups as there are
    // cells; a short last group is dropped) and empties it.
    void str_rom_to_buffer();
    void str_eeprom_to_buffer();

    // Called after every change; the grid view refreshes the rows named.
    void observe(std::function<void(const BufferChange&)> observer);
    std::uint64_t version() const { return version_; }

    // lab_fuse1 ... lab_fuse7 by number 1 ... 7.
    Value<std::string>& lab_fuse(int n) { return lab_fuses.at(n - 1); }
    const Value<std::string>& lab_fuse(int n) const { return lab_fuses.at(n - 1); }

    // Label-held values; the design captions until first written.
    std::array<Value<std::string>, 7> lab_fuses{
        Value<std::string>{"0xFFFF"}, Value<std::string>{"0xFFFF"}, Value<std::string>{"0xFFFF"},
        Value<std::string>{"0xFFFF"}, Value<std::string>{"0xFFFF"}, Value<std::string>{"0xFFFF"},
        Value<std::string>{"0xFFFF"}};
    Value<std::string> lab_id1{"0xFFFFFFFFFFFFFFFF"};
    Value<std::string> lab_cal{"OSCCAL    0x3FFF"};
    Value<std::string> lab_band{"BandGap   11"};
    Value<std::string> lab_checksum{"Checksum  0xFFFF"};

    Value<bool> SerialNumberEnabled{false};
    std::string SavedOsccal = "00";
    std::string RomImageText;
    std::string EepromImageText;

private:
    CellStore& cells(Area area) { return area == Area::rom ? rom_ : eeprom_; }
    const CellStore& cells(Area area) const { return area == Area::rom ? rom_ : eeprom_; }
    CellStore& views(Area area) { return area == Area::rom ? rom_view_ : eeprom_view_; }
    const CellStore& views(Area area) const { return area == Area::rom ? rom_view_ : eeprom_view_; }
    int row_of(Area area, std::size_t index) const;
    std::size_t group_width(Area area) const;
    void place(Area area, std::size_t index, std::string_view text);
    std::size_t place_groups(Area area, std::string_view image);
    void notify(int first_row, int last_row, bool layout = false);
    std::string data_row_text(Area area, int area_row, int column) const;

    BufferShape shape_;
    CellStore rom_, rom_view_, eeprom_, eeprom_view_;
    std::vector<std::function<void(const BufferChange&)>> observers_;
    std::uint64_t version_ = 0;
};

} // namespace zz
