#include "ops/fuse_write.h"

#include "base/hex_text.h"
#include "link/link_texts.h"
#include "ops/chip_read.h"
#include "ops/chip_text.h"
#include "ops/ops_texts.h"

namespace zz {

namespace {

// `text` cut or padded with F to `width` digits, so a malformed label never shortens the block.
std::string fixed(std::string text, std::size_t width) {
    text.resize(width, 'F');
    return text;
}

// Sends a data block and requires the board's "59".
bool send_block(Link& link, const std::string& block) {
    link.expect_exactly("59");
    link.send_and_wait(block, 6, 2000, 1);
    if (link.reply_bytes() >= 1 && link.take_reply() == "59")
        return true;
    link.fail_receive();
    return false;
}

void report(ChipContext& ctx, const char* what, int n, const std::string& good,
            const std::string& bad) {
    ctx.link.signal_failure();
    ctx.op().show_message(what + std::to_string(n) + good_bad(good, bad), texts::kError,
                          Icon::Error);
    ctx.link.status.Label11 = std::string(texts::kReady);
}

// Compares written and read ID/configuration text of the same layout: `id_bytes` ID bytes, then
// configuration words low byte first. Reports the first difference.
bool compare_written(ChipContext& ctx, const std::string& expected, const std::string& read,
                     int id_bytes) {
    if (read == expected)
        return true;
    for (int n = 1; n <= id_bytes; ++n) {
        const auto at = static_cast<std::size_t>(2 * n - 1);
        const std::string good = digits(expected, at, at + 1);
        const std::string bad = digits(read, at, at + 1);
        if (good != bad) {
            report(ctx, texts::kIdError, n, good, bad);
            return false;
        }
    }
    int n = 1;
    for (std::size_t at = 2 * id_bytes + 1; at + 1 < read.size(); at += 4, ++n) {
        const std::string good = swap_bytes(digits(expected, at, at + 3));
        const std::string bad = swap_bytes(digits(read, at, at + 3));
        if (good != bad) {
            report(ctx, texts::kFusesError, n, good, bad);
            return false;
        }
    }
    return true;
}

// The written and read texts of a 12/14-bit core cut to what the chip has: 4 ID bytes and one
// (normalised) or two configuration words.
void trim_for_compare(const ChipContext& ctx, std::string& text) {
    text.erase(8, 8);
    if (ctx.lab_fuse2_enabled()) {
        text.resize(text.size() - 20);
        return;
    }
    text.resize(text.size() - 24);
    text.replace(8, 4, normalised_word(ctx.chip, text.substr(8, 4)));
}

} // namespace

std::string id_config_block(const ChipContext& ctx) {
    const Buffer& b = ctx.buffer;
    std::string block = ctx.chip.CHIPbit == 3
                            ? fixed(digits(b.lab_id1.get(), 3, 18), 16)
                            : fixed(digits(b.lab_id1.get(), 3, 10), 8) + "FFFFFFFF";
    for (int k = 1; k <= 7; ++k) {
        const std::string& label = b.lab_fuse(k).get();
        block += fixed(digits(label, 5, 6), 2) + fixed(digits(label, 3, 4), 2);
    }
    return block;
}

std::string normalised_word(const ChipParams& chip, std::string_view word) {
    const std::int32_t value = hex_to_int(swap_bytes(word));
    const std::int32_t norm =
        ((value < 0 ? 0xFFFF : value) & chip.fuse_blank_words[0]) | chip.FUSEOR;
    return swap_bytes(hex4(norm));
}

namespace {

// Sends "093030" and the ID/configuration block; false when the board did not take it.
bool send_id_config(Link& link, const std::string& block) {
    link.ReplyText.clear();
    link.mscomm1send("093030");
    return send_block(link, block);
}

// Closes the access sequence and reads the ID and configuration words back: the 44 digits of the
// information block after its device ID and before its calibration bytes; empty on failure.
std::string read_back_id_config(ChipContext& ctx) {
    ctx.status(texts::kVerifyingIdFuses);
    if (!ctx.link.send_d("05", "76"))
        return {};
    const std::string info = ctx.link.send0d();
    return info == "00" ? std::string() : info.substr(6, 44);
}

} // namespace

bool write_fuse_chip(ChipContext& ctx) {
    Link& link = ctx.link;
    Buffer& b = ctx.buffer;
    ctx.status(texts::kProgrammingIdFuses);
    if (ctx.chip.BandGap && ctx.flags.n_calchip) {
        const std::string info = link.send0d();
        if (info == "00")
            return false;
        set_bandgap_digit(b, info[24]);
    }
    if (!link.send_d("04", "56"))
        return false;
    std::string expected = id_config_block(ctx);
    if (!send_id_config(link, expected))
        return false;
    std::string read = read_back_id_config(ctx);
    if (read.empty())
        return false;
    trim_for_compare(ctx, read);
    trim_for_compare(ctx, expected);
    return compare_written(ctx, expected, read, 4);
}

bool write18_fuse_chip(ChipContext& ctx) {
    Link& link = ctx.link;
    ctx.status(texts::kProgrammingIdFuses);
    const std::string expected = id_config_block(ctx);
    if (!send_id_config(link, expected))
        return false;
    // The second write repeats the configuration words with zero ID bytes, which are not written.
    link.mscomm1send("110000");
    if (!send_block(link, "0000000000000000" + expected.substr(16)))
        return false;
    const std::string read = read_back_id_config(ctx);
    return !read.empty() && compare_written(ctx, expected, read, 8);
}

bool blank_read18(ChipContext& ctx) {
    ctx.status(texts::kProgrammingId);
    if (!ctx.link.send_d("04", "56"))
        return false;
    return read_rom_chip(ctx) != "00";
}

} // namespace zz
