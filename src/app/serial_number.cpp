#include "app/serial_number.h"

#include "base/hex_text.h"
#include "files/checksum.h"

#include <algorithm>

namespace zz {

namespace {

// How one unit of the number sits in its cell and counts.
struct UnitForm {
    Area area;
    std::size_t offset; // first character of the unit in the cell
    int width;          // characters (hex digits of the cell)
    std::int64_t modulus;
    bool hex;
};

UnitForm unit_form(const ChipParams& chip, const SerialSettings& s) {
    const bool hex = s.inc_16bit;
    const auto form = [hex](Area area, std::size_t offset, int width, std::int64_t hex_modulus,
                            std::int64_t dec_modulus) {
        return UnitForm{area, offset, width, hex ? hex_modulus : dec_modulus, hex};
    };
    if (serial_region(s) == SerialRegion::eeprom)
        return form(Area::eeprom, 0, 2, 0x100, 100);
    // A byte EEPROM has byte cells whatever the low-byte option says.
    if (chip.CHIPbit == 4)
        return form(Area::rom, 0, 2, 0x100, 100);
    if (s.inc_nohigh)
        return form(Area::rom, 2, 2, 0x100, 100);
    switch (chip.CHIPbit) {
    case 1:
        return form(Area::rom, 0, 4, 0x1000, 1000);
    case 2:
        return form(Area::rom, 0, 4, 0x4000, 4000);
    default:
        return form(Area::rom, 0, 4, 0x10000, 10000);
    }
}

bool in_region(const Buffer& buffer, const UnitForm& form, std::int64_t address) {
    return address >= 0 && static_cast<std::uint64_t>(address) < buffer.cell_count(form.area);
}

// The unit's characters; empty outside the region.
std::string unit_text(const Buffer& buffer, const UnitForm& form, std::int64_t address) {
    if (!in_region(buffer, form, address))
        return {};
    const std::string_view cell = buffer.cell(form.area, static_cast<std::size_t>(address));
    if (form.offset >= cell.size())
        return {};
    return std::string(cell.substr(form.offset, static_cast<std::size_t>(form.width)));
}

// Hex: the text as a hex number, -1 when it is not one. Dec: each of the unit's digit positions
// that holds no decimal digit (or is missing) counts as 0.
std::int64_t unit_value(const std::string& text, const UnitForm& form) {
    if (form.hex)
        return hex_to_int(text);
    std::int64_t value = 0;
    for (int i = 0; i < form.width; ++i) {
        const char c = i < static_cast<int>(text.size()) ? text[static_cast<std::size_t>(i)] : '0';
        value = value * 10 + (c >= '0' && c <= '9' ? c - '0' : 0);
    }
    return value;
}

std::int64_t power(std::int64_t base, int exponent) {
    std::int64_t p = 1;
    while (exponent-- > 0)
        p *= base;
    return p;
}

// The value as the unit's digits, zero-padded to its width. A value the width cannot show (only
// a step from a hand-edited settings file gets there) is reduced modulo the unit's modulus, so
// the cell keeps its width.
std::string unit_digits(std::int64_t value, const UnitForm& form) {
    if (value < 0 || value >= power(form.hex ? 16 : 10, form.width))
        value = (value % form.modulus + form.modulus) % form.modulus;
    if (form.hex)
        return to_hex(static_cast<std::uint32_t>(value), form.width);
    std::string text = std::to_string(value);
    return std::string(static_cast<std::size_t>(form.width) - text.size(), '0') + text;
}

// The cell with the unit's characters replaced by `digits`.
std::string with_unit(std::string_view cell, const UnitForm& form, const std::string& digits) {
    std::string out(cell.substr(0, std::min(form.offset, cell.size())));
    out += digits;
    const std::size_t rest = form.offset + static_cast<std::size_t>(form.width);
    if (rest < cell.size())
        out += cell.substr(rest);
    return out;
}

void write_unit(Buffer& buffer, const UnitForm& form, std::int64_t address,
                const std::string& digits) {
    if (!in_region(buffer, form, address))
        return;
    const auto index = static_cast<std::size_t>(address);
    buffer.set_cell_and_view(form.area, index,
                             with_unit(buffer.cell(form.area, index), form, digits));
}

// The addresses of the number inside the region, most significant unit first.
template <class Visit>
void each_unit_msu_first(const Buffer& buffer, const UnitForm& form, const SerialSettings& s,
                         Visit visit) {
    const std::int64_t cells = static_cast<std::int64_t>(buffer.cell_count(form.area));
    const std::int64_t low = std::max<std::int64_t>(s.inc_start_add, 0);
    const std::int64_t high = std::min<std::int64_t>(s.inc_end_add, cells - 1);
    if (s.inc_hiadd) {
        for (std::int64_t a = low; a <= high; ++a)
            visit(a);
    } else {
        for (std::int64_t a = high; a >= low; --a)
            visit(a);
    }
}

void advance_units(const ChipParams& chip, Buffer& buffer, const SerialSettings& s) {
    const UnitForm form = unit_form(chip, s);
    const int direction = s.inc_hiadd ? -1 : 1;
    const std::int64_t last = s.inc_hiadd ? s.inc_start_add : s.inc_end_add;
    std::int64_t add = s.inc_step;
    // Outside the region a unit reads as -1 (Hex) or 0 (Dec), so the carry stops there.
    for (std::int64_t a = s.inc_hiadd ? s.inc_end_add : s.inc_start_add;
         (last - a) * direction >= 0; a += direction) {
        const std::int64_t sum = unit_value(unit_text(buffer, form, a), form) + add;
        if (sum < form.modulus) {
            write_unit(buffer, form, a, unit_digits(sum, form));
            return;
        }
        write_unit(buffer, form, a, unit_digits(sum - form.modulus, form));
        add = 1;
    }
}

// Only in Hex format: the last eight digits as one 32-bit number; a 16-bit core's upper eight
// digits take no carry.
void advance_id(const ChipParams& chip, Buffer& buffer, const SerialSettings& s) {
    if (!s.inc_16bit || (chip.CHIPbit != 2 && chip.CHIPbit != 3))
        return;
    const std::string id = buffer.lab_id1.get();
    const std::string_view last8 = std::string_view(id).substr(id.size() > 8 ? id.size() - 8 : 0);
    const std::uint32_t sum =
        static_cast<std::uint32_t>(hex_to_int(last8)) + static_cast<std::uint32_t>(s.inc_step);
    const std::string upper = chip.CHIPbit == 3 && id.size() > 2 ? id.substr(2, 8) : "";
    buffer.lab_id1 = "0x" + upper + to_hex(sum, 8);
}

} // namespace

SerialSettings serial_settings_of(const AppSettings& a) {
    return SerialSettings{a.inc_start_add, a.inc_end_add, a.inc_step,  a.inc_rom, a.inc_eeprom,
                          a.inc_hiadd,     a.inc_nohigh,  a.inc_16bit, a.inc_save};
}

void store_serial_settings(AppSettings& a, const SerialSettings& s) {
    a.inc_start_add = s.inc_start_add;
    a.inc_end_add = s.inc_end_add;
    a.inc_step = s.inc_step;
    a.inc_rom = s.inc_rom;
    a.inc_eeprom = s.inc_eeprom;
    a.inc_hiadd = s.inc_hiadd;
    a.inc_nohigh = s.inc_nohigh;
    a.inc_16bit = s.inc_16bit;
    a.inc_save = s.inc_save;
}

SerialRegion serial_region(const SerialSettings& s) {
    if (s.inc_rom)
        return SerialRegion::rom;
    return s.inc_eeprom ? SerialRegion::eeprom : SerialRegion::id;
}

void ser_inc(const ChipParams& chip, Buffer& buffer, const SerialSettings& s) {
    if (serial_region(s) == SerialRegion::id) {
        advance_id(chip, buffer, s);
        return;
    }
    advance_units(chip, buffer, s);
    calc_checksum(chip, buffer);
}

std::string serial_text(const ChipParams& chip, const Buffer& buffer, const SerialSettings& s) {
    if (serial_region(s) == SerialRegion::id)
        return buffer.lab_id1.get();
    const UnitForm form = unit_form(chip, s);
    std::string text;
    each_unit_msu_first(buffer, form, s,
                        [&](std::int64_t a) { text += unit_text(buffer, form, a); });
    return text;
}

void copy_serial_number(const ChipParams& chip, const Buffer& from, Buffer& to,
                        const SerialSettings& s) {
    if (serial_region(s) == SerialRegion::id) {
        to.lab_id1 = from.lab_id1.get();
        return;
    }
    const UnitForm form = unit_form(chip, s);
    each_unit_msu_first(from, form, s,
                        [&](std::int64_t a) { write_unit(to, form, a, unit_text(from, form, a)); });
}

bool serial_save_possible(const ChipParams& chip) {
    return chip.CHIPbit >= 1 && chip.CHIPbit <= 3;
}

} // namespace zz
