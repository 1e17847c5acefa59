#include "dialogs/edit/edit_model.h"

#include "base/hex_text.h"
#include "dialogs/edit/edit_texts.h"
#include "dialogs/hex_entry.h"
#include "link/link_texts.h"

#include <algorithm>

namespace zz {

namespace {

constexpr std::size_t kAddressDigits = 4;
constexpr std::size_t kByteDigits = 2;
constexpr std::size_t kWordDigits = 4;
constexpr std::size_t kMinEepromForImage = 8; // below one row the EEPROM grid is empty

std::size_t rom_digits(const ChipParams& chip) {
    return chip.CHIPbit == 4 ? kByteDigits : kWordDigits;
}

// Four digits, or as many as the highest address needs: the largest serial EEPROMs have 128K
// bytes, whose upper half four digits cannot reach.
std::size_t address_digits(std::int64_t size) {
    std::size_t digits = 1;
    for (std::int64_t highest = size - 1; highest > 0xF; highest >>= 4)
        ++digits;
    return std::max(digits, kAddressDigits);
}

std::size_t index_of(FillField field) {
    return static_cast<std::size_t>(field);
}

FillField offset(FillField field, int by) {
    return static_cast<FillField>(static_cast<int>(field) + by);
}

} // namespace

// The messages of one fill group, in the order its checks run.
struct EditModel::FillChecks {
    const char* start_blank;
    const char* end_blank;
    const char* value_empty;
    const char* value_length;
    const char* start_beyond;
    const char* end_beyond;
    const char* start_after_end;
};

EditModel::EditModel(const ChipParams& chip, Buffer& buffer, Operator& op)
    : chip_(chip), buffer_(buffer), op_(op),
      rom_(buffer, Area::rom, buffer.shape().rom_rows, rom_digits(chip)),
      eeprom_(buffer, Area::eeprom, has_eeprom() ? buffer.shape().eeprom_rows : 0, kByteDigits) {}

std::size_t EditModel::field_max(FillField field) const {
    switch (field) {
    case FillField::rom_start:
    case FillField::rom_end:
        return address_digits(chip_.ROMsize);
    case FillField::eeprom_start:
    case FillField::eeprom_end:
        return address_digits(chip_.EEPROMsize);
    case FillField::rom_value:
        return rom_digits(chip_);
    case FillField::eeprom_value:
        return kByteDigits;
    }
    return 0;
}

const std::string& EditModel::field(FillField field) const {
    return fields_[index_of(field)];
}

bool EditModel::set_field(FillField field, std::string_view text) {
    const std::optional<std::string> typed = typed_text(text, field_max(field), hex_key);
    if (typed)
        fields_[index_of(field)] = *typed;
    return typed.has_value();
}

bool EditModel::fill(EditGrid& grid, std::int64_t size, FillField first_field,
                     const FillChecks& checks) {
    const std::string& start = field(first_field);
    const std::string& end = field(offset(first_field, 1));
    const std::string& value = field(offset(first_field, 2));
    const std::int64_t first = hex_to_int(start);
    const std::int64_t last = hex_to_int(end);
    const char* problem = nullptr;
    if (start.empty())
        problem = checks.start_blank;
    else if (end.empty())
        problem = checks.end_blank;
    else if (value.empty())
        problem = checks.value_empty;
    else if (value.size() != grid.digits())
        problem = checks.value_length;
    else if (first >= size)
        problem = checks.start_beyond;
    else if (last >= size)
        problem = checks.end_beyond;
    else if (first > last)
        problem = checks.start_after_end;
    if (problem) {
        op_.show_message(problem, texts::kError, Icon::Error);
        return false;
    }
    grid.fill(static_cast<std::size_t>(first), static_cast<std::size_t>(last), value);
    return true;
}

bool EditModel::rom_fill() {
    const FillChecks checks{
        texts::kStartBlank,     texts::kEndBlank,
        texts::kRomValueEmpty,  chip_.CHIPbit == 4 ? texts::kRomValueBytes : texts::kRomValueWords,
        texts::kRomStartBeyond, texts::kRomEndBeyond,
        texts::kStartAfterEnd};
    return fill(rom_, chip_.ROMsize, FillField::rom_start, checks);
}

bool EditModel::eeprom_fill() {
    const FillChecks checks{texts::kStartBlank,        texts::kEndBlank,
                            texts::kEepromValueEmpty,  texts::kEepromValueBytes,
                            texts::kEepromStartBeyond, texts::kEepromEndBeyond,
                            texts::kStartAfterEnd};
    return fill(eeprom_, chip_.EEPROMsize, FillField::eeprom_start, checks);
}

std::optional<std::string> EditModel::rom_image() const {
    const bool words = chip_.CHIPbit != 4;
    // Bits above the core's word width are dropped; a damaged blank value masks nothing.
    const std::int32_t blank = hex_to_int(chip_.ROMblank);
    const auto mask = static_cast<std::uint32_t>(blank) & 0xFFFF;
    std::string image;
    image.reserve(rom_.cell_count() * rom_.digits());
    for (std::size_t i = 0; i < rom_.cell_count(); ++i) {
        const std::string_view cell = rom_.cell(i);
        // Byte cells go over unchanged, so one of another length would shift every later cell.
        if (cell.size() < rom_.digits() || (!words && cell.size() != rom_.digits()))
            return std::nullopt;
        if (words)
            image += to_hex(static_cast<std::uint32_t>(hex_to_int(cell)) & mask, 4);
        else
            image += cell;
    }
    return image;
}

std::optional<std::string> EditModel::eeprom_image() const {
    std::string image;
    image.reserve(eeprom_.cell_count() * kByteDigits);
    for (std::size_t i = 0; i < eeprom_.cell_count(); ++i) {
        const std::string_view cell = eeprom_.cell(i);
        if (cell.size() != kByteDigits)
            return std::nullopt;
        image += cell;
    }
    return image;
}

bool EditModel::ok() {
    // Both grids are checked before either image is handed over, so a refused OK leaves nothing
    // behind for Cancel to apply.
    const std::optional<std::string> rom = rom_image();
    std::optional<std::string> eeprom;
    const bool eeprom_image_wanted =
        chip_.EEPROMsize >= static_cast<std::int32_t>(kMinEepromForImage);
    if (rom && eeprom_image_wanted)
        eeprom = eeprom_image();
    if (!rom || (eeprom_image_wanted && !eeprom)) {
        op_.show_message(texts::kInsufficientData, texts::kError, Icon::Error);
        return false;
    }
    buffer_.RomImageText = *rom;
    if (eeprom)
        buffer_.EepromImageText = *eeprom;
    return true;
}

} // namespace zz
