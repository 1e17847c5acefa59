#include "ops/chip_read.h"

#include "files/checksum.h"
#include "link/link_texts.h"
#include "ops/chip_text.h"
#include "ops/ops_texts.h"

#include <algorithm>

namespace zz {

namespace {

constexpr int kStreamGapMs = 1000; // longest pause between deliveries of a read stream

// Collects a read stream until it holds `wanted` digits; "00" when a gap exceeds the limit.
std::string collect_stream(ChipContext& ctx, std::size_t wanted,
                           const std::function<void(std::size_t)>& progress) {
    Link& link = ctx.link;
    std::string collected;
    collected.reserve(wanted);
    while (collected.size() < wanted) {
        if (!link.wait_reply(kStreamGapMs, [&] { return link.reply_bytes() >= 1; })) {
            link.fail_receive();
            return "00";
        }
        collected += link.ReplyText;
        link.ReplyText.clear();
        progress(collected.size());
    }
    return collected;
}

// Fills the ID and configuration labels from an information block without its first three
// bytes.
void show_id_and_fuses(ChipContext& ctx, std::string_view info) {
    Buffer& b = ctx.buffer;
    const bool sixteen_bit = ctx.chip.CHIPbit == 3;
    b.lab_id1 = "0x" + digits(info, 1, sixteen_bit ? 16 : 8);
    const int words = sixteen_bit ? 7 : (ctx.lab_fuse2_enabled() ? 2 : 1);
    for (int k = 1; k <= words; ++k) {
        const std::size_t first = 17 + 4 * static_cast<std::size_t>(k - 1);
        b.lab_fuse(k) = "0x" + swap_bytes(digits(info, first, first + 3));
    }
}

} // namespace

bool read_bracketed(ChipContext& ctx, std::string (*read)(ChipContext&), std::string& out) {
    if (!ctx.link.send_d("04", "56"))
        return false;
    out = read(ctx);
    if (out == "00")
        return false;
    return ctx.link.send_d("05", "76");
}

std::string read_rom_chip(ChipContext& ctx) {
    Link& link = ctx.link;
    const std::int64_t n = ctx.chip.ROMsize * static_cast<std::int64_t>(cell_digits(ctx.chip));
    link.ReplyText.clear();
    link.expect_bytes(static_cast<std::size_t>(std::max<std::int64_t>(n / 2, 0)));
    link.mscomm1send("0B");
    ctx.loop().poll_pause(20);
    ctx.progress(0, static_cast<int>(n));
    if (n <= 0)
        return {};
    return collect_stream(ctx, static_cast<std::size_t>(n), [&](std::size_t got) {
        link.status.progress_position = static_cast<int>(got);
    });
}

std::string read_eeprom_chip(ChipContext& ctx) {
    Link& link = ctx.link;
    const std::int64_t size = ctx.chip.EEPROMsize;
    if (size <= 0)
        return "FF";
    link.status.progress_position = 0;
    ctx.loop().process_events();
    ctx.loop().process_events();
    link.ReplyText.clear();
    link.expect_bytes(static_cast<std::size_t>(size));
    link.mscomm1send("0C");
    ctx.loop().poll_pause(20);
    // The bar counts 1/32 of the stream per step; EEPROMs below 32 bytes count bytes instead.
    const std::int64_t divisor = size * 2 / 32 - 1;
    return collect_stream(ctx, static_cast<std::size_t>(size * 2), [&](std::size_t got) {
        const auto digits_got = static_cast<std::int64_t>(got);
        link.status.progress_position =
            static_cast<int>(divisor > 0 ? digits_got / divisor : digits_got / 2);
    });
}

std::string read_cal(ChipContext& ctx) {
    Link& link = ctx.link;
    link.check_com_open();
    if (!link.BoardReady) {
        ctx.op().show_message(texts::kBoardNotResponding, texts::kError, Icon::Error);
        return "00";
    }
    link.CollectReplies = true;
    ctx.status(texts::kInitializingCal);
    if (!link.send03(ctx.chip))
        return "00";
    const std::string info = link.send0d();
    if (info == "00")
        return "00";
    // The calibration literal is the byte before the last byte of the block.
    const std::string literal = info.substr(info.size() - 4, 2);
    std::string text = literal;
    if (ctx.chip.CHIPbit == 1)
        text = "0C" + literal;
    else if (ctx.chip.CHIPbit == 2)
        text = "34" + literal;
    ctx.loop().process_events();
    return text;
}

std::string read_bandgap(ChipContext& ctx) {
    Link& link = ctx.link;
    if (!link.BoardReady) {
        ctx.op().show_message(texts::kBoardNotResponding, texts::kError, Icon::Error);
        return "00";
    }
    ctx.status(texts::kInitializingBand);
    if (!link.send03(ctx.chip))
        return "00";
    const std::string info = link.send0d();
    if (info == "00")
        return "00";
    const std::string text = digits(info, 25, 26) + digits(info, 23, 24);
    ctx.status(texts::kReady);
    return text;
}

bool read_chip(ChipContext& ctx) {
    Link& link = ctx.link;
    const bool pic = !ctx.chip.is_serial_eeprom();
    ctx.status(texts::kReading);
    std::string info;
    std::string eeprom;
    if (pic) {
        info = link.send0d();
        if (info == "00")
            return false;
        info.erase(0, 6);
        if (!link.send_d("04", "56"))
            return false;
        ctx.status(texts::kReadingEeprom);
        eeprom = read_eeprom_chip(ctx);
        if (eeprom == "00" || !link.send_d("05", "76"))
            return false;
        ctx.status(texts::kReadingRom);
    }
    std::string rom;
    if (!read_bracketed(ctx, read_rom_chip, rom))
        return false;
    ctx.status(texts::kReadCompleted);
    link.status.progress_position = 0;

    // Nothing above touched the buffer, so a failed read leaves it as it was.
    Buffer& b = ctx.buffer;
    b.clrbuffer(ctx.chip);
    if (pic) {
        b.EepromImageText = eeprom;
        if (ctx.chip.EEPROMsize != 0)
            b.str_eeprom_to_buffer();
        show_id_and_fuses(ctx, info);
    }
    b.RomImageText = rom;
    b.str_rom_to_buffer();
    calc_checksum(ctx.chip, b);
    link.status.Label11 = std::string(texts::kReady);
    return true;
}

} // namespace zz
