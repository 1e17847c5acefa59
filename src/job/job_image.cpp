#include "job/job_image.h"

#include "base/hex_text.h"
#include "base/operator.h"
#include "device/chip_family.h"
#include "dialogs/fuse/fuse_command.h"
#include "dialogs/fuse/fuse_editor.h"
#include "dialogs/fuse/fuse_names.h"
#include "dialogs/inc_data/inc_data_model.h"
#include "files/checksum.h"
#include "files/hex_import.h"
#include "job/job_file.h"
#include "ops/program_sequence.h"

namespace zz {

namespace {

[[noreturn]] void refuse(const std::string& key, const std::string& message) {
    throw JobSettingError(key, message);
}

void check_chip(const Job& job, const ChipDatabase& database) {
    if (job.model < 1 || job.model > 4)
        refuse("chip.model", "model takes a programmer model 1..4, not " +
                                 std::to_string(job.model));
    if (!find_chip_family(job.family))
        refuse("chip.family", "unknown chip family \"" + job.family + "\"");
    if (job.chip.empty() || !database.knows(job.model, job.chip))
        refuse("chip.chip", "no chip \"" + job.chip + "\" for programmer model " +
                                std::to_string(job.model) + " in " +
                                database.data_dir().string());
}

void check_steps(const Job& job, const ChipParams& chip) {
    const ChipSteps has = chip_steps(chip);
    const std::pair<bool, const char*> wanted[] = {{job.steps.blank && !has.blank, "blank"},
                                                   {job.steps.erase && !has.erase, "erase"},
                                                   {job.steps.eeprom && !has.eeprom, "eeprom"},
                                                   {job.steps.fuses && !has.fuses, "fuses"}};
    for (const auto& [refused, step] : wanted)
        if (refused)
            refuse("program.steps", "the chip " + job.chip + " has no " + step + " step");
    if (!job.steps.blank && !job.steps.erase && !job.steps.eeprom && !job.steps.rom &&
        !job.steps.fuses)
        refuse("program.steps", "the job programs nothing: no step is given");
    if (job.icsp && (chip.is_serial_eeprom() || job.model == 4))
        refuse("program.icsp", job.model == 4 ? "programmer model 4 has no ICSP mode"
                                              : "a serial EEPROM has no ICSP mode");
}

void load_image(const Job& job, const ChipParams& chip, Buffer& buffer) {
    buffer.clrbuffer(chip);
    const LoadResult loaded = read_image_text(chip, buffer, job.image_hex, "the embedded image");
    if (!loaded.ok || !loaded.warning.empty())
        refuse("image", loaded.ok ? loaded.warning : loaded.error);
}

void apply_fuses(const Job& job, const ChipParams& chip, Buffer& buffer) {
    if (job.fuses.empty() && !job.id)
        return;
    if (chip.is_serial_eeprom())
        refuse(job.fuses.empty() ? "fuses.id" : "fuses.set",
               "a serial EEPROM has no fuses and no user ID");
    FuseEditor editor(chip, buffer);
    for (std::size_t k = 0; k < job.fuses.size(); ++k) {
        const std::string& set = job.fuses[k];
        const auto eq = set.find('=');
        if (const std::string refusal =
                choose_by_name(editor, set.substr(0, eq), set.substr(eq + 1));
            !refusal.empty())
            refuse(JobFile::repeated("fuses.set", k), refusal);
    }
    if (job.id)
        if (const std::string refusal = set_id_by_text(editor, *job.id); !refusal.empty())
            refuse("fuses.id", refusal);
    editor.ok();
    show_bandgap_of_word1(chip, buffer);
}

// The serial settings pass the "Serial Number" dialog's OK as they stand.
void check_serial(const Job& job, const ChipParams& chip) {
    const JobSerial& serial = job.serial;
    if (!serial.enabled)
        return;
    if (serial.sequence.empty())
        refuse("serial.sequence", "a job numbers its chips from a sequence of the records "
                                  "database: give it one");
    Value<SerialSettings> settings{serial.settings};
    Value<bool> enabled{true};
    const Value<bool> busy{false};
    QuietOperator op;
    IncDataModel dialog(chip, settings, enabled, busy, op, {});
    if (!dialog.Button1Click())
        refuse("serial.end", op.last_message);
    if (!(settings.get() == serial.settings))
        refuse("serial.region", "the chip " + job.chip + " does not allow these serial number "
                                                         "settings");
}

bool overlaps(std::int64_t a_first, std::int64_t a_last, std::int64_t b_first,
              std::int64_t b_last) {
    return a_first <= b_last && b_first <= a_last;
}

void check_preserved(const Job& job, const ChipParams& chip) {
    const SerialSettings& s = job.serial.settings;
    for (std::size_t k = 0; k < job.preserve.size(); ++k) {
        const PreservedRange& r = job.preserve[k];
        const bool rom = r.memory == PreservedRange::Memory::rom;
        const std::int64_t size = rom ? chip.ROMsize : chip.EEPROMsize;
        const std::string key = JobFile::repeated("preserve.range", k);
        if (r.end >= size)
            refuse(key, preserved_range_text(r) + " is outside the chip's " +
                            (rom ? "program memory" : "data EEPROM") + " (" +
                            std::to_string(size) + (rom ? " words)" : " bytes)"));
        const bool same_region = job.serial.enabled && serial_region(s) != SerialRegion::id &&
                                 s.inc_rom == rom;
        if (same_region && overlaps(r.start, r.end, s.inc_start_add, s.inc_end_add))
            refuse(key, preserved_range_text(r) + " overlaps the serial number's cells");
    }
}

bool in_rom_range(std::size_t cell, std::int64_t first, std::int64_t last) {
    const auto k = static_cast<std::int64_t>(cell);
    return k >= first && k <= last;
}

} // namespace

std::string job_checksum(const Job& job, const ChipParams& chip, const Buffer& buffer) {
    const SerialSettings& s = job.serial.settings;
    const bool rom_serial = job.serial.enabled && serial_region(s) == SerialRegion::rom;
    const auto left_out = [&](std::size_t cell) {
        if (rom_serial && in_rom_range(cell, s.inc_start_add, s.inc_end_add))
            return true;
        for (const PreservedRange& r : job.preserve)
            if (r.memory == PreservedRange::Memory::rom && in_rom_range(cell, r.start, r.end))
                return true;
        return false;
    };
    return "0x" + to_hex(buffer_checksum(chip, buffer, left_out), 4);
}

ChipParams check_job_file(const JobFile& file, const ChipDatabase& database, Buffer& buffer) {
    try {
        return build_job_image(file.job, database, buffer);
    } catch (const JobSettingError& e) {
        throw file.error(e.key(), e.what());
    }
}

ChipParams build_job_image(const Job& job, const ChipDatabase& database, Buffer& buffer) {
    check_chip(job, database);
    const ChipParams chip = database.load(job.model, job.chip, ChipParams{});
    check_steps(job, chip);
    load_image(job, chip, buffer);
    apply_fuses(job, chip, buffer);
    calc_checksum(chip, buffer);
    check_serial(job, chip);
    check_preserved(job, chip);
    return chip;
}

} // namespace zz
