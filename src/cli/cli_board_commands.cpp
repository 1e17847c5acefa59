// The commands that run one operation on the board. Each tells success from what the operator
// was shown: an error message or a question answered No fails the command, and so does the
// absence of the operation's own sign of success.
#include "cli/auto_command.h"
#include "cli/board_wait.h"
#include "cli/calibration_command.h"
#include "cli/cli_commands.h"
#include "cli/fuse_commands.h"
#include "ops/calibration_from_chip.h"
#include "ops/ops_texts.h"

#include <algorithm>

namespace zz::cli {

namespace {

constexpr std::string_view kVersionPrefix = "Hardware version:";
// The board's version text is at least four characters; a shorter reply was cut off.
constexpr std::size_t kMinVersionLength = 4;

bool saw_status(const CliContext& c, std::string_view text) {
    return std::find(c.statuses.begin(), c.statuses.end(), text) != c.statuses.end();
}

int verdict(const CliContext& c, bool succeeded) {
    return succeeded && !c.op.error_shown() && !c.op.declined() ? kSuccess : kFailed;
}

// Runs the operation between the progress meter's start and finish.
template <class Operation> void run(CliContext& c, Operation operation) {
    c.progress.start();
    operation();
    c.progress.finish();
}

// Loads the command's FILE, then runs the operation; success when `done` then holds.
template <class Operation, class Done>
int with_file(CliContext& c, Operation operation, Done done) {
    if (const int status = load_file(c, c.options.args[0]); status != kSuccess)
        return status;
    run(c, operation);
    return verdict(c, done());
}

void apply_steps(OptionFlags& f, const ProgramSteps& steps) {
    // A step the chip has no use for stays off, as its box is disabled in the window.
    const auto tick = [](Flag& flag, bool wanted) { flag.checked = wanted && flag.enabled; };
    tick(f.CheckBox_blank, steps.blank);
    tick(f.CheckBox_erase, steps.erase);
    tick(f.CheckBox_wr_ee, steps.eeprom);
    tick(f.CheckBox_wr_rom, steps.rom);
    tick(f.CheckBox_wr_id, steps.fuses);
    tick(f.n36, steps.verify);
}

std::string verdicts_json(const ChipState& s) {
    const auto b = [](bool v) { return v ? "true" : "false"; };
    return std::string("{\"id\":") + b(s.IdErased) + ",\"config\":" + b(s.ConfigErased) +
           ",\"rom\":" + b(s.RomErased) + ",\"eeprom\":" + b(s.EepromErased) + "}";
}

bool all_erased(const ChipState& s) {
    return s.IdErased && s.ConfigErased && s.RomErased && s.EepromErased;
}

// The window's control of each command that a chip can switch off (serial EEPROMs have no erase,
// blank check, verify or fuse writing). A chip without EEPROM is refused by the operation.
Value<bool>* control_of(ControlStates& controls, const std::string& command) {
    if (command == "erase")
        return &controls.N10;
    if (command == "blank")
        return &controls.N11;
    if (command == "verify")
        return &controls.N14;
    if (command == "write-fuses")
        return &controls.ID1;
    if (command == "fuses")
        return &controls.Button3;
    return nullptr;
}

// Every run of the command line is a new session, which has not read the chip's calibration word
// and BandGap bits; verify would report them as different, so they are read from the chip first.
void learn_calibration(CliContext& c) {
    ChipContext ctx = c.session.chip_context();
    zz::learn_calibration(ctx);
    wait_board_idle(c.session);
}

} // namespace

int find_command(CliContext& c) {
    Session& s = c.session;
    s.auto_find_command();
    if (c.op.error_shown())
        return kFailed;
    const int model = s.ProgrammerModel;
    const std::string& port = s.discovery().selector.text.get();
    c.out.line("model=" + std::to_string(model));
    c.out.line("port=" + port);
    c.out.field("model", std::to_string(model));
    c.out.field("port", json_quote(port));
    return kSuccess;
}

int read_command(CliContext& c) {
    run(c, [&] { c.session.read_command(); });
    if (verdict(c, saw_status(c, texts::kReadCompleted)) != kSuccess)
        return kFailed;
    c.session.save_command(c.options.args[0]);
    return verdict(c, true);
}

int erase_command(CliContext& c) {
    run(c, [&] { c.session.erase_command(); });
    return verdict(c, c.op.was_shown(texts::kEraseComplete));
}

int blank_command(CliContext& c) {
    run(c, [&] { c.session.blank_check_command(); });
    const ChipState& s = c.session.statistics;
    c.out.field("blank", verdicts_json(s));
    return verdict(c, saw_status(c, texts::kBlankResult) && all_erased(s));
}

int verify_command(CliContext& c) {
    return with_file(
        c,
        [&] {
            learn_calibration(c);
            if (!c.op.error_shown())
                c.session.verify_command();
        },
        [&] { return c.op.was_shown(texts::kVerifyComplete); });
}

int program_command(CliContext& c) {
    if (!c.options.job.job.empty())
        return program_chips(c); // the job's steps, image and settings
    if (c.options.steps)
        apply_steps(c.session.flags, *c.options.steps);
    if (const int status = load_file_to_program(c, c.options.args[0]); status != kSuccess)
        return status;
    return program_chips(c);
}

int write_rom_command(CliContext& c) {
    return with_file(
        c, [&] { c.session.rom_command(); },
        [&] { return c.op.was_shown(texts::kWriteRomComplete); });
}

int write_eeprom_command(CliContext& c) {
    return with_file(
        c, [&] { c.session.eeprom_command(); },
        [&] { return c.op.was_shown(texts::kEepromComplete); });
}

int write_fuses_command(CliContext& c) {
    return with_file(
        c, [&] { c.session.fuse_id_command(); },
        [&] { return c.op.was_shown(texts::kIdFusesComplete); });
}

int version_command(CliContext& c) {
    run(c, [&] { c.session.hardware_version_command(); });
    std::string version;
    for (const Shown& s : c.op.shown())
        if (s.text.starts_with(kVersionPrefix))
            version = s.text.substr(kVersionPrefix.size());
    c.out.field("version", json_quote(version));
    return verdict(c, version.size() >= kMinVersionLength);
}

int run_command(CliContext& c) {
    if (const Value<bool>* control = control_of(c.session.controls, c.options.command);
        control && !control->get()) {
        c.op.show_message(c.options.command + " is not available for the chip " +
                              c.session.ComboBox1.get(),
                          "Error", Icon::Error);
        return kFailed;
    }
    using Command = int (*)(CliContext&);
    static const std::pair<const char*, Command> kTable[] = {
        {"chips", chips_command},
        {"info", info_command},
        {"checksum", checksum_command},
        {"convert", convert_command},
        {"dump", dump_command},
        {"fuses", fuses_command},
        {"find", find_command},
        {"read", read_command},
        {"erase", erase_command},
        {"blank", blank_command},
        {"verify", verify_command},
        {"program", program_command},
        {"write-rom", write_rom_command},
        {"write-eeprom", write_eeprom_command},
        {"write-fuses", write_fuses_command},
        {"version", version_command},
        {"calibration", calibration_command},
        {"upgrade-firmware", upgrade_firmware_command},
        {"auto", auto_command},
    };
    for (const auto& [name, command] : kTable)
        if (c.options.command == name)
            return command(c);
    return kBadInput;
}

} // namespace zz::cli
