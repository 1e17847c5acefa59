#include "ops/rom_eeprom_write.h"

#include "link/link_texts.h"
#include "ops/chip_read.h"
#include "ops/chip_text.h"
#include "ops/fuse_write.h"
#include "ops/ops_texts.h"

#include <algorithm>

namespace zz {

namespace {

constexpr int kStreamReplyMs = 1000;     // the board asks for the next block within this time
constexpr std::size_t kBlockDigits = 64; // one 32-byte block of program memory
// The board asks for the next block; its end and failure reports are longer.
constexpr std::string_view kBlockRequest = "59";

// Cell `index` of an image of `width`-digit cells; empty past its end.
std::string_view cell(std::string_view image, std::size_t index, std::size_t width) {
    const std::size_t at = index * width;
    return at < image.size() ? image.substr(at, width) : std::string_view{};
}

bool byte_is(const std::string& r, std::size_t index, std::string_view value) {
    return r.size() >= 2 * index + 2 && r.compare(2 * index, 2, value) == 0;
}

// The board's code in the first or second byte of a stream reply.
bool reply_has(const std::string& r, std::string_view code) {
    return byte_is(r, 0, code) || byte_is(r, 1, code);
}

// Waits for the board's next request of a write stream; empty text on a time-out.
std::string next_request(Link& link) {
    if (!link.wait_reply(kStreamReplyMs, [&] { return link.reply_bytes() >= 1; }))
        return {};
    return link.take_reply();
}

// The end of a write stream: a trailer 3Fh 3Fh makes the board restart.
void end_of_stream(Link& link, const std::string& r) {
    if (r.ends_with("3F3F"))
        link.reset_program_tries(9);
}

// The board could not program a word: it names the address in the two bytes before the last two.
bool report_rom_failure(ChipContext& ctx, const std::string& r) {
    Link& link = ctx.link;
    if (r.size() < 10) {
        link.fail_receive();
        return false;
    }
    ctx.loop().sleep_ms(5);
    link.signal_failure();
    const std::string text = std::string(texts::kRomError) + r.substr(r.size() - 8, 4);
    ctx.op().show_message(ctx.with_checklist(text), texts::kError, Icon::Error);
    link.status.Label11 = std::string(texts::kReady);
    return false;
}

// The next 32-byte block of the image; cells past its end are blank.
std::string rom_block(const ChipParams& chip, const std::string& image, std::size_t& position) {
    std::string block;
    if (position <= image.size()) {
        block = image.substr(position - 1, kBlockDigits);
        position += kBlockDigits;
    }
    while (block.size() < kBlockDigits)
        block += digits(chip.ROMblank, 1, cell_digits(chip));
    return block.substr(0, kBlockDigits);
}

bool rom_stream(ChipContext& ctx, const std::string& image, std::int64_t count) {
    Link& link = ctx.link;
    const ChipParams& chip = ctx.chip;
    const bool bytes = chip.CHIPbit == 4;
    link.ReplyText.clear();
    link.expect_exactly(kBlockRequest);
    link.mscomm1send("07" + hex4(count));
    link.status.progress_max = static_cast<int>(count);
    ctx.loop().poll_pause(2);
    std::size_t position = 1;
    const std::int64_t limit = chip.ROMsize + (bytes ? 128 : 64);
    for (std::int64_t sent = 0; sent < limit; sent += bytes ? 32 : 16) {
        const std::string r = next_request(link);
        const bool failed = reply_has(r, "4E");
        const bool ended = reply_has(r, "50");
        if (r != kBlockRequest && !failed && !ended) {
            link.fail_receive();
            return false;
        }
        if (failed)
            return report_rom_failure(ctx, r);
        if (ended) {
            end_of_stream(link, r);
            return true;
        }
        const std::string block = rom_block(chip, image, position);
        link.ReplyText.clear();
        link.expect_exactly(kBlockRequest);
        link.mscomm1send(block);
        link.status.progress_position = static_cast<int>(position / (bytes ? 2 : 4));
    }
    return true;
}

bool rom_read_back(ChipContext& ctx) {
    Link& link = ctx.link;
    const std::string image = rom_image(ctx);
    ctx.status(texts::kVerifyingRom);
    if (!link.send_d("05", "76") || !link.send_d("04", "56"))
        return false;
    const std::string read = read_rom_chip(ctx);
    if (read == "00")
        return false;
    if (read == image)
        return true;
    const std::size_t w = cell_digits(ctx.chip);
    for (std::int64_t i = 0; i < ctx.chip.ROMsize; ++i) {
        const auto index = static_cast<std::size_t>(i);
        if (cell(read, index, w) == cell(image, index, w))
            continue;
        const std::size_t at = index * w;
        link.signal_failure();
        const std::string text =
            std::string(texts::kRomError) + hex4(i) +
            good_bad(digits(image, at + 1, at + 4), digits(read, at + 1, at + 4));
        ctx.op().show_message(text, texts::kError, Icon::Error);
        return false;
    }
    return true;
}

bool eeprom_stream(ChipContext& ctx, const std::string& image, std::int64_t count) {
    Link& link = ctx.link;
    link.ReplyText.clear();
    link.expect_exactly(kBlockRequest);
    link.mscomm1send("08" + hex4(count));
    ctx.loop().poll_pause(1);
    link.status.progress_max = static_cast<int>(count);
    std::size_t position = 1;
    for (std::int64_t sent = 0; sent < ctx.chip.EEPROMsize + 4; sent += 2) {
        const std::string r = next_request(link);
        const bool ended = reply_has(r, "50");
        if (r != kBlockRequest && !ended) {
            link.fail_receive();
            return false;
        }
        if (ended) {
            end_of_stream(link, r);
            return true;
        }
        std::string unit = position <= image.size() ? image.substr(position - 1, 4) : "";
        unit.resize(4, 'F');
        link.ReplyText.clear();
        link.expect_exactly(kBlockRequest);
        link.mscomm1send(unit);
        link.status.progress_position = static_cast<int>(position / 2);
        position += 4;
    }
    return true;
}

bool eeprom_read_back(ChipContext& ctx, const std::string& image) {
    Link& link = ctx.link;
    ctx.progress(0, 32);
    ctx.status(texts::kVerifyingEepromWrite);
    if (!link.send_d("05", "76") || !link.send_d("04", "56"))
        return false;
    const std::string read = read_eeprom_chip(ctx);
    if (read == "00" || !link.send_d("05", "76"))
        return false;
    if (read == image)
        return true;
    const std::size_t n = std::min(read.size(), image.size()) / 2;
    for (std::size_t i = 0; i < n; ++i) {
        if (cell(read, i, 2) == cell(image, i, 2))
            continue;
        link.signal_failure();
        const std::string text = std::string(texts::kEepromError) +
                                 hex4(static_cast<std::int64_t>(i)) +
                                 good_bad(image.substr(2 * i, 2), read.substr(2 * i, 2));
        ctx.op().show_message(text, texts::kError, Icon::Error);
        link.status.Label11 = std::string(texts::kReady);
        return false;
    }
    return link.send_d("05", "76");
}

} // namespace

std::int64_t rom_write_count(const ChipParams& chip, const std::string& image) {
    std::int64_t last = chip.ROMsize - 1;
    if (!chip.is_serial_eeprom()) {
        const std::size_t w = cell_digits(chip);
        while (last >= 0 && cell(image, static_cast<std::size_t>(last), w) == chip.ROMblank)
            --last;
        if (last <= 0)
            last = 32;
    }
    if (last <= 0)
        return 0;
    return std::min<std::int64_t>({(last / 32) * 32 + 32, chip.ROMsize, 0xFFFD});
}

std::int64_t eeprom_write_count(const ChipParams& chip, const std::string& image) {
    const std::int64_t size = chip.EEPROMsize;
    std::int64_t k = size - 1;
    while (k >= 0 && cell(image, static_cast<std::size_t>(k), 2) == "FF")
        --k;
    if (k < 0)
        return 0;
    if (k != size - 1)
        ++k;
    if (k <= 0)
        return 0;
    std::int64_t n = k + 1;
    if (n % 2 != 0)
        ++n;
    return std::min(n, size);
}

std::string rom_image(ChipContext& ctx) {
    std::string image = ctx.buffer.buffer_rom();
    if (ctx.preserve_osccal())
        substitute_osccal(image, ctx.buffer.SavedOsccal);
    return image;
}

bool write_rom_chip(ChipContext& ctx) {
    Link& link = ctx.link;
    const ChipParams& chip = ctx.chip;
    if (ctx.preserve_osccal()) {
        std::string cal = read_cal(ctx);
        // A failed read keeps programming going with the calibration instruction's zero literal.
        if (cal == "00" && chip.CHIPbit == 1)
            cal = "0C00";
        else if (cal == "00" && chip.CHIPbit == 2)
            cal = "3400";
        ctx.buffer.SavedOsccal = cal;
    }
    const std::string image = rom_image(ctx);
    if (!link.send_d("04", "56"))
        return false;
    ctx.status(texts::kProgrammingRom);
    const std::int64_t count = rom_write_count(chip, image);
    if (count > 0 && !rom_stream(ctx, image, count))
        return false;
    const bool read_back = chip.CHIPbit == 3 || chip.is_serial_eeprom() || ctx.flags.n36;
    if (read_back && !rom_read_back(ctx))
        return false;
    if (chip.CHIPbit == 3 && ctx.flags.CheckBox_wr_id && !write18_fuse_chip(ctx))
        return false;
    return link.send_d("05", "76");
}

bool write_eeprom_chip(ChipContext& ctx) {
    Link& link = ctx.link;
    if (ctx.chip.EEPROMsize == 0)
        return true;
    ctx.status(texts::kProgrammingEeprom);
    if (!link.send_d("04", "56"))
        return false;
    const std::string image = ctx.buffer.buffer_eeprom();
    const std::int64_t count = eeprom_write_count(ctx.chip, image);
    if (count == 0)
        return link.send_d("05", "76");
    if (!eeprom_stream(ctx, image, count))
        return false;
    return eeprom_read_back(ctx, image);
}

} // namespace zz
