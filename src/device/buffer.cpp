#include "device/buffer.h"

#include "base/hex_text.h"
#include "device/printable_view.h"

#include <algorithm>

namespace zz {

namespace {

constexpr std::string_view kBlankEepromCell = "FF";

std::string header_text(int column, std::string_view area_name) {
    switch (column) {
    case 1:
    case 4:
        return "----";
    case 2:
        return std::string(area_name);
    case 3:
        return "DATA";
    default:
        return {};
    }
}

} // namespace

Buffer::Buffer() {
    clrbuffer(ChipParams{});
}

void Buffer::clrbuffer(const ChipParams& chip) {
    shape_ = buffer_shape(chip);
    rom_.reset(shape_.rom_cells(), chip.ROMblank);
    rom_view_.reset(shape_.rom_cells(), blank_rom_view(shape_.chip_bit));
    eeprom_.reset(shape_.eeprom_cells(), kBlankEepromCell);
    eeprom_view_.reset(shape_.eeprom_cells(), kBlankEepromView);
    SerialNumberEnabled = false;
    notify(0, row_count() - 1, true);
}

std::size_t Buffer::cell_count(Area area) const {
    return cells(area).size();
}

std::string_view Buffer::cell(Area area, std::size_t index) const {
    return cells(area).get(index);
}

std::string_view Buffer::view(Area area, std::size_t index) const {
    return views(area).get(index);
}

int Buffer::row_of(Area area, std::size_t index) const {
    const int row = static_cast<int>(index / BufferShape::kCellsPerRow);
    return area == Area::rom ? row + 1 : shape_.first_eeprom_row() + row;
}

void Buffer::set_cell(Area area, std::size_t index, std::string_view text) {
    if (index >= cell_count(area))
        return;
    cells(area).set(index, text);
    notify(row_of(area, index), row_of(area, index));
}

void Buffer::set_view(Area area, std::size_t index, std::string_view text) {
    if (index >= cell_count(area))
        return;
    views(area).set(index, text);
    notify(row_of(area, index), row_of(area, index));
}

void Buffer::set_cell_and_view(Area area, std::size_t index, std::string_view text) {
    if (index >= cell_count(area))
        return;
    place(area, index, text);
    notify(row_of(area, index), row_of(area, index));
}

std::size_t Buffer::group_width(Area area) const {
    return area == Area::rom && shape_.chip_bit != 4 ? 4 : 2;
}

void Buffer::place(Area area, std::size_t index, std::string_view text) {
    cells(area).set(index, text);
    views(area).set(index, group_width(area) == 4 ? showchar4bit(text) : showchar2bit(text));
}

std::string Buffer::grid_text(int row, int column) const {
    if (row < 0 || row >= row_count() || column < 0 || column >= kColumnCount)
        return {};
    if (row == 0)
        return header_text(column, "ROM");
    if (row <= shape_.rom_rows)
        return data_row_text(Area::rom, row - 1, column);
    if (row == shape_.eeprom_header_row())
        return header_text(column, "EEROM");
    return data_row_text(Area::eeprom, row - shape_.first_eeprom_row(), column);
}

std::string Buffer::data_row_text(Area area, int area_row, int column) const {
    const auto first = static_cast<std::size_t>(area_row) * BufferShape::kCellsPerRow;
    if (column == 0)
        return to_hex(static_cast<std::uint32_t>(first), 4) + ":";
    if (column >= 1 && column <= BufferShape::kCellsPerRow)
        return std::string(cell(area, first + column - 1));
    if (column >= kFirstViewColumn && column < kFirstViewColumn + BufferShape::kCellsPerRow)
        return std::string(view(area, first + column - kFirstViewColumn));
    return {};
}

std::string Buffer::buffer_rom() const {
    std::string out;
    out.reserve(rom_.size() * group_width(Area::rom));
    rom_.append_to(out, rom_.size());
    return out;
}

std::string Buffer::buffer_eeprom() const {
    std::string out;
    out.reserve(eeprom_.size() * 2);
    eeprom_.append_to(out, eeprom_.size());
    return out;
}

std::size_t Buffer::place_groups(Area area, std::string_view image) {
    const std::size_t width = group_width(area);
    const std::size_t count = std::min(image.size() / width, cell_count(area));
    for (std::size_t i = 0; i < count; ++i)
        place(area, i, image.substr(i * width, width));
    return count;
}

void Buffer::str_rom_to_buffer() {
    if (place_groups(Area::rom, RomImageText) > 0)
        notify(1, shape_.rom_rows);
    RomImageText.clear();
}

void Buffer::str_eeprom_to_buffer() {
    if (place_groups(Area::eeprom, EepromImageText) > 0)
        notify(shape_.first_eeprom_row(), row_count() - 1);
    EepromImageText.clear();
}

void Buffer::observe(std::function<void(const BufferChange&)> observer) {
    observers_.push_back(std::move(observer));
}

void Buffer::notify(int first_row, int last_row, bool layout) {
    ++version_;
    const BufferChange change{first_row, last_row, layout};
    for (auto& observer : observers_)
        observer(change);
}

} // namespace zz
