#include "files/serial_number.h"

#include "base/hex_text.h"
#include "files/checksum.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

namespace zz {

namespace {

// Where one unit of the number sits in its cell, and how it counts.
struct UnitForm {
    Area area;
    std::size_t offset; // first character of the unit in the cell
    SerialCounting counting;
};

UnitForm unit_form(const ChipParams& chip, const SerialSettings& s) {
    const bool hex = s.inc_16bit;
    const auto form = [&](Area area, std::size_t offset, int width, std::int64_t hex_modulus,
                          std::int64_t dec_modulus) {
        return UnitForm{area, offset,
                        SerialCounting{SerialCounting::Kind::units, width,
                                       hex ? hex_modulus : dec_modulus, hex, s.inc_step}};
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
    return std::string(cell.substr(form.offset, static_cast<std::size_t>(form.counting.width)));
}

// Hex: the text as a hex number, -1 when it is not one. Dec: each of the unit's digit positions
// that holds no decimal digit (or is missing) counts as 0.
std::int64_t unit_value(std::string_view text, const SerialCounting& c) {
    if (c.hex)
        return hex_to_int(text);
    std::int64_t value = 0;
    for (int i = 0; i < c.width; ++i) {
        const char ch = i < static_cast<int>(text.size()) ? text[static_cast<std::size_t>(i)] : '0';
        value = value * 10 + (ch >= '0' && ch <= '9' ? ch - '0' : 0);
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
std::string unit_digits(std::int64_t value, const SerialCounting& c) {
    if (value < 0 || value >= power(c.hex ? 16 : 10, c.width))
        value = (value % c.modulus + c.modulus) % c.modulus;
    if (c.hex)
        return to_hex(static_cast<std::uint32_t>(value), c.width);
    std::string text = std::to_string(value);
    return std::string(static_cast<std::size_t>(c.width) - text.size(), '0') + text;
}

// The one increment rule of every number made of units: the step goes to unit 0 (the least
// significant), each unit that reaches its modulus carries 1 into the next, and past the last
// of `count` units the carry is dropped (the number wraps).
template <class Read, class Write>
void advance_units(std::int64_t count, const SerialCounting& c, Read read, Write write) {
    std::int64_t add = c.step;
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int64_t sum = unit_value(read(i), c) + add;
        if (sum < c.modulus) {
            write(i, unit_digits(sum, c));
            return;
        }
        write(i, unit_digits(sum - c.modulus, c));
        add = 1;
    }
}

// The cell with the unit's characters replaced by `digits`.
std::string with_unit(std::string_view cell, const UnitForm& form, const std::string& digits) {
    std::string out(cell.substr(0, std::min(form.offset, cell.size())));
    out += digits;
    const std::size_t rest = form.offset + static_cast<std::size_t>(form.counting.width);
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

// The units walked from the least significant address: a unit outside the region reads as -1
// (Hex) or 0 (Dec) and takes no write, so the carry stops there.
void advance_buffer_units(const ChipParams& chip, Buffer& buffer, const SerialSettings& s) {
    const UnitForm form = unit_form(chip, s);
    const std::int64_t first = s.inc_hiadd ? s.inc_end_add : s.inc_start_add;
    const std::int64_t direction = s.inc_hiadd ? -1 : 1;
    const std::int64_t count =
        std::max<std::int64_t>(0, static_cast<std::int64_t>(s.inc_end_add) - s.inc_start_add + 1);
    const auto address = [&](std::int64_t i) { return first + i * direction; };
    advance_units(
        count, form.counting, [&](std::int64_t i) { return unit_text(buffer, form, address(i)); },
        [&](std::int64_t i, const std::string& digits) {
            write_unit(buffer, form, address(i), digits);
        });
}

// The ID's last eight digits as one 32-bit number; the digits kept before them take no carry.
std::string next_id_text(std::string_view id, const SerialCounting& c) {
    const std::string_view last8 = id.substr(id.size() > 8 ? id.size() - 8 : 0);
    const std::uint32_t sum =
        static_cast<std::uint32_t>(hex_to_int(last8)) + static_cast<std::uint32_t>(c.step);
    const std::string_view upper =
        c.width > 0 && id.size() > 2 ? id.substr(2, static_cast<std::size_t>(c.width)) : "";
    return "0x" + std::string(upper) + to_hex(sum, 8);
}

bool all_hex(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return hex_digit_value(c) >= 0; });
}

std::string upper_case(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 32) : c; });
    return out;
}

// A number must be hex and fill its place exactly: `held` hex digits ("the user ID holds").
void check_digits(std::string_view text, std::size_t held, const char* place_holds) {
    if (!all_hex(text))
        throw std::invalid_argument("\"" + std::string(text) + "\" is not a hex number");
    if (text.size() != held)
        throw std::invalid_argument(std::string(place_holds) + " " + std::to_string(held) +
                                    " hex digits, not " + std::to_string(text.size()));
}

void set_id_text(Buffer& buffer, std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X"))
        text.remove_prefix(2);
    check_digits(text, buffer.lab_id1.get().size() - 2, "the user ID holds"); // after "0x"
    buffer.lab_id1 = "0x" + upper_case(text);
}

} // namespace

SerialCounting serial_counting(const ChipParams& chip, const SerialSettings& s) {
    if (serial_region(s) != SerialRegion::id)
        return unit_form(chip, s).counting;
    // Only in Hex format, and only 14- and 16-bit cores have an ID that counts.
    const bool counts = s.inc_16bit && (chip.CHIPbit == 2 || chip.CHIPbit == 3);
    return SerialCounting{counts ? SerialCounting::Kind::user_id : SerialCounting::Kind::none,
                          chip.CHIPbit == 3 ? 8 : 0, 0, true, s.inc_step};
}

std::string next_serial_text(std::string_view text, const SerialCounting& c) {
    if (c.kind == SerialCounting::Kind::none)
        return std::string(text);
    if (c.kind == SerialCounting::Kind::user_id)
        return next_id_text(text, c);
    std::string next(text);
    const auto width = static_cast<std::int64_t>(c.width);
    const auto size = static_cast<std::int64_t>(text.size());
    // Unit i ends `i` units from the right; the leftmost may be shorter.
    const auto span_of = [&](std::int64_t i) {
        const std::int64_t end = size - i * width;
        const std::int64_t begin = std::max<std::int64_t>(0, end - width);
        return std::pair{static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin)};
    };
    advance_units((size + width - 1) / width, c,
                  [&](std::int64_t i) {
                      const auto [begin, length] = span_of(i);
                      return std::string(text.substr(begin, length));
                  },
                  [&](std::int64_t i, const std::string& digits) {
                      const auto [begin, length] = span_of(i);
                      next.replace(begin, length, digits);
                  });
    return next;
}

SerialRegion serial_region(const SerialSettings& s) {
    if (s.inc_rom)
        return SerialRegion::rom;
    return s.inc_eeprom ? SerialRegion::eeprom : SerialRegion::id;
}

void ser_inc(const ChipParams& chip, Buffer& buffer, const SerialSettings& s) {
    if (serial_region(s) == SerialRegion::id) {
        const SerialCounting counting = serial_counting(chip, s);
        if (counting.kind == SerialCounting::Kind::user_id)
            buffer.lab_id1 = next_id_text(buffer.lab_id1.get(), counting);
        return;
    }
    advance_buffer_units(chip, buffer, s);
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

void set_serial_text(const ChipParams& chip, Buffer& buffer, const SerialSettings& s,
                     std::string_view text) {
    if (serial_region(s) == SerialRegion::id) {
        set_id_text(buffer, text);
        return;
    }
    const UnitForm form = unit_form(chip, s);
    check_digits(text, serial_text(chip, buffer, s).size(), "the serial cells hold");
    // What a cell can hold whatever the format: a Dec unit is packed decimal in the same bits.
    SerialSettings as_hex = s;
    as_hex.inc_16bit = true;
    const std::int64_t limit = unit_form(chip, as_hex).counting.modulus;
    const auto width = static_cast<std::size_t>(form.counting.width);
    std::vector<std::pair<std::int64_t, std::string>> units;
    each_unit_msu_first(buffer, form, s, [&](std::int64_t address) {
        const std::string unit = upper_case(text.substr(units.size() * width, width));
        if (hex_to_int(unit) >= limit)
            throw std::invalid_argument(unit + " is more than a serial cell holds (at most " +
                                        to_hex(static_cast<std::uint32_t>(limit - 1), width) + ")");
        units.emplace_back(address, unit);
    });
    for (const auto& [address, unit] : units)
        write_unit(buffer, form, address, unit);
    calc_checksum(chip, buffer);
}

bool serial_save_possible(const ChipParams& chip) {
    return chip.CHIPbit >= 1 && chip.CHIPbit <= 3;
}

} // namespace zz
