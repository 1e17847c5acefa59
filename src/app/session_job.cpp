// A production job on the session: its chip, image and settings applied as released, the
// controls that could change them locked, and each chip's preserved ranges kept.
#include "app/session.h"
#include "files/checksum.h"
#include "job/job_image.h"
#include "ops/preserved_cells.h"
#include "ops/program_sequence.h"

namespace zz {

namespace {

void tick(Flag& flag, bool wanted) {
    flag.checked = wanted && flag.enabled;
}

std::vector<CellRange> cell_ranges(const Job& job) {
    std::vector<CellRange> ranges;
    for (const PreservedRange& r : job.preserve)
        ranges.push_back({r.memory == PreservedRange::Memory::rom ? Area::rom : Area::eeprom,
                          r.start, r.end});
    return ranges;
}

std::string joined(const std::vector<std::string>& cells) {
    std::string text;
    for (const std::string& cell : cells)
        text += cell;
    return text;
}

} // namespace

void Session::select_job_chip(const Job& job) {
    if (ProgrammerModel != job.model)
        select_model(job.model);
    ComboBox2 = job.family;
    ComboBox1 = job.chip;
    SuppressChipPositionOnce = true;
    program_type();
}

void Session::apply_job_options(const Job& job) {
    OptionFlags& f = flags;
    tick(f.CheckBox_blank, job.steps.blank);
    tick(f.CheckBox_erase, job.steps.erase);
    tick(f.CheckBox_wr_ee, job.steps.eeprom);
    tick(f.CheckBox_wr_rom, job.steps.rom);
    tick(f.CheckBox_wr_id, job.steps.fuses);
    f.n36.checked = job.steps.verify;
    f.N_ICSP.checked = job.icsp;
    f.UseVPPFirstProgramEntry1.checked = job.vpp_first;
    f.N32.checked = !job.chip_check;
    calibration_source_command(job.osccal_from_chip);
    serial_settings = job.serial.settings;
    buffer.SerialNumberEnabled = job.serial.enabled;
    use_sequence = job.serial.enabled;
    sequence_name = job.serial.sequence;
    reserve_serial_numbers = false;
}

bool Session::use_job(std::shared_ptr<const RunningJob> running) {
    if (link_.Busy || !running)
        return false;
    const Job& job = running->job;
    select_job_chip(job);
    try {
        build_job_image(job, database_, buffer);
    } catch (const JobError& e) {
        env_.op.show_message("The job " + running->title() + " cannot run here: " + e.what(),
                             "Error", Icon::Error);
        return false;
    }
    apply_job_options(job);
    file_watch_.stop();
    CurrentFileName.clear();
    caption = std::string(kCaption) + "  job " + running->title();
    preserved_image_.clear();
    for (const CellRange& r : cell_ranges(job))
        for (std::size_t k = r.first; k <= r.last; ++k)
            preserved_image_.emplace_back(buffer.cell(r.area, k));
    job_ = std::move(running);
    job_locked = true;
    return true;
}

void Session::leave_job() {
    job_locked = false;
    job_.reset();
    preserved_image_.clear();
}

bool Session::locked_by_job() const {
    return job_locked.get();
}

// Read before anything is erased; a chip whose ranges cannot be read is not programmed.
ChipStart Session::keep_preserved(PendingChip& pending) {
    if (!job_ || job_->job.preserve.empty())
        return ChipStart::program;
    const std::vector<CellRange> ranges = cell_ranges(job_->job);
    ChipContext ctx = chip_context();
    ctx.status("Reading the preserved data.....");
    const auto read = read_cell_ranges(ctx, ranges);
    if (!read) {
        tap_.show_message("The chip's preserved data could not be read: the chip is not erased",
                          "Error", Icon::Error);
        return ChipStart::fail;
    }
    std::string kept;
    for (std::size_t n = 0; n < ranges.size(); ++n) {
        const CellRange& r = ranges[n];
        for (std::size_t k = r.first; k <= r.last; ++k)
            buffer.set_cell_and_view(r.area, k, (*read)[n][k - r.first]);
        kept += (kept.empty() ? "" : ";") + preserved_range_text(job_->job.preserve[n]) + "=" +
                joined((*read)[n]);
    }
    calc_checksum(chip_, buffer);
    pending.record.preserved = kept;
    describe_number(pending.record, true);
    return ChipStart::program;
}

// The next chip gets its own: the image's cells come back.
void Session::restore_preserved() {
    if (!job_ || preserved_image_.empty())
        return;
    std::size_t at = 0;
    for (const CellRange& r : cell_ranges(job_->job))
        for (std::size_t k = r.first; k <= r.last; ++k)
            buffer.set_cell_and_view(r.area, k, preserved_image_.at(at++));
    calc_checksum(chip_, buffer);
}

} // namespace zz
