// The job file: what is written reads back as the same job, and every kind of bad file is
// refused naming its file and line.
#include "device/chip_database.h"
#include "files/hex_export.h"
#include "job/job_file.h"
#include "job/job_image.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zz {
namespace {

using ::testing::HasSubstr;

const ChipDatabase& database() {
    static const ChipDatabase db(ZZ_SOURCE_DIR "/data");
    return db;
}

// A 16F877A job: a jump at 0, numbered in words 0x10-0x11 from sequence LINE, a watchdog set by
// name, and an EEPROM range kept from each chip.
Job sample_job() {
    const ChipParams chip = database().load(3, "16F877A", ChipParams{});
    Buffer image;
    image.clrbuffer(chip);
    image.set_cell(Area::rom, 0, "2812");
    Job job;
    job.name = "line";
    job.chip = "16F877A";
    job.image_name = "app.hex";
    job.image_hex = hex_image_text(chip, image);
    job.fuses = {"Watchdog Timer=On"};
    job.serial.enabled = true;
    job.serial.sequence = "LINE";
    job.serial.settings.inc_start_add = 0x10;
    job.serial.settings.inc_end_add = 0x11;
    job.quantity = 10;
    job.preserve = {{PreservedRange::Memory::eeprom, 0x20, 0x27}};
    job.notes = {"first article approved"};
    return job;
}

// Reads `text` as the file job.zzjob and checks it against the chips.
JobFile load(const std::string& text) {
    JobFile file = parse_job_text(text, "job.zzjob", "job");
    Buffer buffer;
    check_job_file(file, database(), buffer);
    return file;
}

TEST(JobFile, WhatIsWrittenReadsBackAsTheSameJobAndFingerprint) {
    const Job job = sample_job();
    const JobFile named = load(job_file_text(job, true));
    EXPECT_EQ(named.job, job);
    EXPECT_EQ(job_fingerprint(named.job), job_fingerprint(job));
    // Without a name in it, the file's name is the job's; the fingerprint does not change.
    const JobFile unnamed = load(job_file_text(job, false));
    EXPECT_EQ(unnamed.job.name, "job");
    EXPECT_EQ(job_fingerprint(unnamed.job), job_fingerprint(job));
    Job more = job;
    more.quantity = 11;
    EXPECT_NE(job_fingerprint(more), job_fingerprint(job));
    EXPECT_EQ(short_fingerprint(job_fingerprint(job)).size(), 8u);
}

// A change of one line of a good file, and what the refusal says.
struct BadFile {
    const char* line;        // as the good file has it
    const char* replacement; // its new text
    const char* message;
    int offset = 0; // the refused line counted from the replaced one
};

TEST(JobFile, EveryBadFileIsRefusedNamingItsLine) {
    const std::string good = job_file_text(sample_job(), false);
    const BadFile cases[] = {
        {"[chip]", "[chips]", "unknown section [chips]"},
        {"require_lot=0", "require_lot=0\nlots=1", "unknown key \"lots\" in [job]", 1},
        {"require_lot=0", "garbage", "\"garbage\" is not a KEY=VALUE line"},
        {"model=3", "model=3\nmodel=3", "the key \"model\" comes twice", 1},
        {"icsp=0", "icsp=yes", "icsp takes 0 or 1, not \"yes\""},
        {"quantity=10", "quantity=0", "quantity takes a number from 1"},
        {"region=rom", "region=flash", "region takes rom, eeprom or id"},
        {"steps=blank,erase,eeprom,rom,fuses,verify", "steps=blank,burn", "not \"burn\""},
        {"steps=blank,erase,eeprom,rom,fuses,verify", "steps=verify", "the job programs nothing"},
        {"chip=16F877A", "chip=16F999", "no chip \"16F999\" for programmer model 3"},
        {"set=Watchdog Timer=On", "set=Watchdog Timer=Maybe", "has no option \"Maybe\""},
        {"end=0011", "end=2000", "Auto increment end address exceeded chip rom size"},
        {"sequence=LINE", "sequence=", "a job numbers its chips from a sequence"},
        {"range=eeprom:0020-0027", "range=eeprom:0020-0127", "outside the chip's data EEPROM"},
        {"range=eeprom:0020-0027", "range=rom:0010-0010", "overlaps the serial number's cells"},
        {"range=eeprom:0020-0027", "range=flash:1-2", "a preserved range is eeprom:START-END"},
    };
    for (const BadFile& c : cases) {
        std::string text = good;
        const auto at = text.find(std::string("\n") + c.line + "\n");
        ASSERT_NE(at, std::string::npos) << c.line;
        text.replace(at + 1, std::string(c.line).size(), c.replacement);
        const int line = static_cast<int>(std::count(text.begin(), text.begin() + at + 1, '\n')) +
                         1 + c.offset;
        EXPECT_THAT([&] { load(text); },
                    ::testing::ThrowsMessage<JobError>(AllOf(
                        HasSubstr("job.zzjob, line " + std::to_string(line) + ": "),
                        HasSubstr(c.message))))
            << c.replacement;
    }
}

TEST(JobFile, AnImageEditedByHandIsRefusedNamingTheMismatch) {
    std::string text = job_file_text(sample_job(), false);
    const auto record = text.find("\n:1000000012");
    ASSERT_NE(record, std::string::npos);
    text.replace(record + 10, 2, "13"); // a jump elsewhere, checksum of the record untouched
    EXPECT_THAT([&] { load(text); },
                ::testing::ThrowsMessage<JobError>(
                    HasSubstr("the embedded image does not match its recorded sha256")));
    text.erase(text.find("\n[image]"));
    EXPECT_THAT([&] { load(text); },
                ::testing::ThrowsMessage<JobError>(HasSubstr("job.zzjob: no image.sha256")));
}

// Chips differ only in their serial cells and preserved ranges: their job checksum does not.
TEST(JobImage, TheJobChecksumLeavesOutSerialCellsAndPreservedRanges) {
    Job job = sample_job();
    job.preserve.push_back({PreservedRange::Memory::rom, 0x100, 0x101});
    Buffer buffer;
    const ChipParams chip = build_job_image(job, database(), buffer);
    const std::string checksum = job_checksum(job, chip, buffer);
    for (const std::size_t cell : {0x10u, 0x11u, 0x100u, 0x101u})
        buffer.set_cell(Area::rom, cell, "1234");
    buffer.set_cell(Area::eeprom, 0x20, "42");
    EXPECT_EQ(job_checksum(job, chip, buffer), checksum);
    buffer.set_cell(Area::rom, 0x12, "1234");
    EXPECT_NE(job_checksum(job, chip, buffer), checksum);
}

TEST(JobImage, StepsAndModesTheChipDoesNotHaveAreRefused) {
    Job eeprom_chip = sample_job();
    eeprom_chip.chip = "24xx02";
    eeprom_chip.family = "I2C/SPI EEPROM";
    eeprom_chip.fuses.clear();
    eeprom_chip.serial = {};
    eeprom_chip.preserve.clear();
    const std::pair<std::function<void(Job&)>, const char*> cases[] = {
        {[](Job&) {}, "has no blank step"},
        {[](Job& j) { j.steps = {false, false, false, true, true, false}; },
         "has no fuses step"},
        {[](Job& j) {
             j.steps = {false, false, false, true, false, false};
             j.icsp = true;
         },
         "a serial EEPROM has no ICSP mode"},
    };
    for (const auto& [change, message] : cases) {
        Job job = eeprom_chip;
        change(job);
        Buffer buffer;
        EXPECT_THAT([&] { build_job_image(job, database(), buffer); },
                    ::testing::ThrowsMessage<JobError>(HasSubstr(message)))
            << message;
    }
}

TEST(JobTexts, RangesAndReferences) {
    const PreservedRange range = parse_preserved_range("rom:1f00-0x1F3F");
    EXPECT_EQ(range, (PreservedRange{PreservedRange::Memory::rom, 0x1F00, 0x1F3F}));
    EXPECT_EQ(preserved_range_text(range), "rom:1F00-1F3F");
    for (const char* bad : {"eeprom:10", "ram:0-1", "eeprom:x-1", "eeprom:20-10", "eeprom:0-123456789"})
        EXPECT_THROW(parse_preserved_range(bad), JobError) << bad;
    EXPECT_EQ(parse_job_reference("line").revision, std::nullopt);
    EXPECT_EQ(parse_job_reference("line@3").revision, 3);
    EXPECT_EQ(parse_job_reference("a@b@2").name, "a@b");
    for (const char* bad : {"line@0", "line@", "line@x"})
        EXPECT_THROW(parse_job_reference(bad), JobError) << bad;
    EXPECT_TRUE(names_job_file("line.zzjob"));
    EXPECT_TRUE(names_job_file("jobs/line"));
    EXPECT_FALSE(names_job_file("line@2"));
}

} // namespace
} // namespace zz
