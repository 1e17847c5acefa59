#include "ops/erase_blank.h"

#include "base/hex_text.h"
#include "device/bandgap.h"
#include "link/link_texts.h"
#include "ops/chip_read.h"
#include "ops/chip_text.h"
#include "ops/ops_texts.h"

namespace zz {

namespace {

constexpr std::uint16_t kBandGapBits = 0x3000;   // bits 13-12 of configuration word 1
constexpr std::string_view kProgressTick = "42"; // the blank check of 256 more cells

// The calibration word goes back into the last program cell, so a following ROM write keeps it.
bool save_calibration(ChipContext& ctx) {
    const std::string cal = read_cal(ctx);
    if (cal == "00")
        return false;
    Buffer& b = ctx.buffer;
    b.SavedOsccal = cal;
    b.lab_cal = "OSCCAL   0x" + cal;
    if (ctx.chip.ROMsize > 0)
        b.set_cell_and_view(Area::rom, static_cast<std::size_t>(ctx.chip.ROMsize - 1), cal);
    return true;
}

// "0A": the saved calibration word and configuration word 1 blank, with the chip's BandGap digit
// `d` on top for a BandGap chip.
bool restore_calibration(ChipContext& ctx, char d) {
    Link& link = ctx.link;
    Buffer& b = ctx.buffer;
    std::string config = hex4(ctx.chip.fuse_blank_words[0]);
    if (ctx.chip.BandGap) {
        config[0] = d;
        set_bandgap_digit(b, d);
        if (const std::string band = bandgap_caption(d); !band.empty())
            b.lab_band = band;
    }
    link.expect_exactly("59");
    link.send_and_wait("0A" + b.SavedOsccal + config, 3, 2000, 1);
    const std::string reply = link.take_reply();
    if (reply == "43" || reply == "46") {
        link.signal_failure();
        ctx.op().show_message(texts::kOsccalError, texts::kError, Icon::Error);
        link.status.Label11 = std::string(texts::kReady);
        return false;
    }
    if (reply != "59") {
        link.fail_receive();
        return false;
    }
    return link.send_d("05", "76");
}

} // namespace

bool erase_chip(ChipContext& ctx) {
    Link& link = ctx.link;
    const bool preserve = ctx.preserve_osccal();
    if (preserve && !save_calibration(ctx))
        return false;
    link.status.Label11 = std::string(texts::kErasing);
    const std::string info = link.send0d();
    if (info == "00")
        return false;
    const char d = info[24]; // upper digit of configuration word 1: the BandGap bits
    if (!link.send_d("04", "56") || !link.send_d("0E", "59"))
        return false;
    if (!preserve)
        return link.send_d("05", "76");
    if (!link.send_d("05", "76") || !link.send_d("04", "56"))
        return false;
    return restore_calibration(ctx, d);
}

// A configuration word counts as erased when every bit that its FUSEblank word sets reads 1:
// a bulk erase sets all implemented bits, while unimplemented bits (0 in FUSEblank) may read
// either way on real chips. Only the words the chip has are judged (FuseWordCount). On a BandGap
// chip bits 13-12 of word 1 hold the factory calibration, which a preserving erase writes back,
// so they are left out. Serial EEPROMs have no configuration words.
bool config_erased(const ChipParams& chip, std::string_view info) {
    if (chip.is_serial_eeprom())
        return true;
    for (int k = 0; k < chip.FuseWordCount && k < 7; ++k) {
        const std::size_t first = 17 + 4 * static_cast<std::size_t>(k);
        const std::int32_t word = hex_to_int(swap_bytes(digits(info, first, first + 3)));
        auto blank = static_cast<std::uint16_t>(chip.fuse_blank_words[static_cast<std::size_t>(k)]);
        if (k == 0 && chip.BandGap)
            blank &= static_cast<std::uint16_t>(~kBandGapBits);
        if (word < 0 || (word & blank) != blank)
            return false;
    }
    return true;
}

bool blank_rom(ChipContext& ctx) {
    Link& link = ctx.link;
    link.ReplyText.clear();
    link.expect_exactly(kProgressTick);
    link.mscomm1send("0F" + digits(ctx.chip.ROMblank, 1, 2));
    ctx.state.RomErased = true;
    link.status.progress_max = static_cast<int>(ctx.chip.ROMsize / 255);
    while (true) {
        if (!link.wait_reply(4000, [&] { return link.reply_bytes() >= 1; })) {
            link.fail_receive();
            return false;
        }
        const std::string r = link.take_reply();
        const std::string last = r.substr(r.size() - 2);
        if (last == "4E") {
            ctx.state.RomErased = false;
            return true;
        }
        if (last == "59" || last == "43")
            return true;
        // Anything else must be progress ticks, one 42h each.
        for (std::size_t i = 0; i < r.size(); i += 2) {
            if (r.compare(i, 2, kProgressTick) != 0) {
                link.fail_receive();
                return false;
            }
        }
        link.status.progress_position =
            link.status.progress_position + static_cast<int>(r.size() / 2);
        // Each tick is a reply of its own; the verdict that ends the check may be longer.
        link.expect_exactly(kProgressTick);
    }
}

bool blank_chip(ChipContext& ctx) {
    Link& link = ctx.link;
    ChipState& s = ctx.state;
    ctx.status(texts::kBlankChecking);
    std::string info = link.send0d();
    if (info == "00")
        return false;
    info.erase(0, 6);
    s.IdErased = digits(info, 1, 16) == "FFFFFFFFFFFFFFFF";
    s.ConfigErased = config_erased(ctx.chip, info);
    if (!link.send_d("04", "56"))
        return false;
    ctx.status(texts::kBlankRom);
    if (!blank_rom(ctx))
        return false;
    ctx.progress(0, 32);
    if (!link.send_d("05", "76") || !link.send_d("04", "56"))
        return false;
    ctx.status(texts::kBlankEeprom);
    const std::string r = link.send_rets("10", 1);
    if (r == "00")
        return false;
    s.EepromErased = r != "4E";
    if (r != "59" && r != "4E") {
        link.fail_receive();
        return false;
    }
    return link.send_d("05", "76");
}

std::string blank_verdict_line(const char* area, bool erased) {
    return std::string("   ") + area + (erased ? "=Erased  " : "=Not Erased  ");
}

} // namespace zz
