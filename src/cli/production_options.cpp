#include "cli/production_options.h"

#include "cli/cli_options.h"

#include <charconv>

namespace zz::cli {

namespace {

int parse_number(const std::string& name, const std::string& text, int least) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < least)
        throw UsageError(name + " takes a number from " + std::to_string(least) + ", not \"" +
                         text + "\"");
    return value;
}

// "10" or "0x10": the digits go to the dialog's address field, which judges them.
std::string hex_address(const std::string& text) {
    return text.starts_with("0x") || text.starts_with("0X") ? text.substr(2) : text;
}

std::string one_of(const std::string& name, const std::string& text,
                   std::initializer_list<const char*> choices) {
    std::string list;
    for (const char* choice : choices) {
        if (text == choice)
            return text;
        list += (list.empty() ? "" : "|") + std::string(choice);
    }
    throw UsageError(name + " takes " + list + ", not \"" + text + "\"");
}

// `records --serial HEX`: the number a chip was programmed with.
void check_serial_filter(const std::string& text) {
    const bool hex =
        !text.empty() && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    if (!hex)
        throw UsageError("records --serial takes a serial number in hex, not \"" + text + "\"");
}

} // namespace

bool parse_production_option(const std::string& name, OptionArg& arg, CliOptions& o) {
    ProductionOptions& p = o.production;
    if (name == "--serial")
        p.serial = arg.value(); // a region, or for `records` a number: judged with the command
    else if (name == "--serial-start")
        p.serial_start = hex_address(arg.value());
    else if (name == "--serial-end")
        p.serial_end = hex_address(arg.value());
    else if (name == "--serial-step")
        p.serial_step = parse_number(name, arg.value(), 0);
    else if (name == "--serial-format")
        p.serial_hex = one_of(name, arg.value(), {"hex", "dec"}) == "hex";
    else if (name == "--serial-from-high")
        p.serial_from_high = true;
    else if (name == "--serial-low-byte")
        p.serial_low_byte = true;
    else if (name == "--serial-save")
        p.serial_save = true;
    else if (name == "--no-serial")
        p.no_serial = true;
    else if (name == "--log")
        p.log = arg.value();
    else if (name == "--count")
        p.count = parse_number(name, arg.value(), 1);
    else
        return false;
    return true;
}

void check_production_options(const CliOptions& o, const CommandInfo&) {
    const ProductionOptions& p = o.production;
    if (o.command == "records" && p.serial) {
        check_serial_filter(*p.serial);
        ProductionOptions rest = p;
        rest.serial.reset();
        if (rest.any_serial() || rest.no_serial || !rest.log.empty() || rest.count)
            throw UsageError("records takes --serial HEX; the other --serial... options, "
                             "--no-serial, --log and --count belong to program and auto");
        return;
    }
    const bool any = p.any_serial() || p.no_serial || !p.log.empty() || p.count;
    const bool job_serial = creates_job(o) && !p.no_serial && p.log.empty() && !p.count;
    const bool station_serial = o.command == "station" && !p.count;
    if (any && o.command != "program" && o.command != "auto" && !job_serial && !station_serial)
        throw UsageError("--serial..., --no-serial, --log and --count belong to the program and "
                         "auto commands (--serial..., --no-serial and --log also to station, "
                         "--serial... to job create)");
    if (p.serial)
        one_of("--serial", *p.serial, {"rom", "eeprom", "id"});
    if (p.no_serial && p.any_serial())
        throw UsageError("--no-serial excludes the other --serial options");
    const int count = p.count.value_or(1);
    if (o.command == "program" && count > 1 && !o.virtual_board)
        throw UsageError("program --count needs --virtual-board: on a board, the auto command "
                         "takes chip after chip");
    const bool several_chips = o.command == "auto" || count > 1;
    if (several_chips && !o.chip_save.empty() && o.chip_save.find("%n") == std::string::npos)
        throw UsageError("--chip-save needs %n in its name with --count or auto, or each chip "
                         "would replace the one before");
}

const char kProductionHelp[] =
    R"(  --serial rom|eeprom|id  number each chip: in program memory, data EEPROM or the user ID
                       (the settings file's serial-number options are the defaults);
                       records --serial HEX: the chips programmed with that number
  --serial-start HEX   first address of the number (words in program memory, bytes in EEPROM)
  --serial-end HEX     last address of the number
  --serial-step N      added after each chip: 0..255 (hex format) or 0..99 (dec format)
  --serial-format hex|dec  count in binary, or one decimal digit per hex digit
  --serial-from-high   the least significant part of the number is at the end address
  --serial-low-byte    count in the low byte of each program word only
  --serial-save        take each number from FILE and save the next one back (shared by
                       several programs: see the README)
  --no-serial          no serial numbers, whatever the settings file says
  --log FILE           append one CSV line per chip to FILE (the production log)
  --count N            program: N chips in a row, a fresh one each time (virtual board);
                       %n in --chip-save's name becomes the chip's number
                       auto: stop once N chips have passed and the last is taken out
)";

} // namespace zz::cli
