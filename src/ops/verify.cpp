#include "ops/verify.h"

#include "link/link_texts.h"
#include "ops/chip_read.h"
#include "ops/chip_text.h"
#include "ops/ops_texts.h"
#include "ops/rom_eeprom_write.h"

#include <algorithm>

namespace zz {

namespace {

std::string low_first(const std::string& label) {
    return digits(label, 5, 6) + digits(label, 3, 4);
}

std::string entry(std::string_view head, std::string_view good, std::string_view bad) {
    return std::string(head) + good_bad(good, bad) + "\r\n";
}

// ID entries replace the report (only the last differing ID byte stays); word entries add to it.
void compare_id_config(const ChipContext& ctx, const std::string& expected, const std::string& read,
                       std::string& report) {
    if (read == expected)
        return;
    const std::size_t id_bytes = ctx.chip.CHIPbit == 3 ? 8 : 4;
    for (std::size_t n = 1; n <= id_bytes; ++n) {
        const std::string good = digits(expected, 2 * n - 1, 2 * n);
        const std::string bad = digits(read, 2 * n - 1, 2 * n);
        if (good != bad)
            report = entry("ID" + std::to_string(n) + "error", good, bad);
    }
    int n = 1;
    for (std::size_t at = 2 * id_bytes + 1; at + 1 < read.size(); at += 4, ++n) {
        const std::string good = swap_bytes(digits(expected, at, at + 3));
        const std::string bad = swap_bytes(digits(read, at, at + 3));
        if (good != bad)
            report += entry("FUSES error at FUSE" + std::to_string(n), good, bad);
    }
}

// The first differing cell of `read` against `image`, cells of `width` digits; -1 when none.
std::int64_t first_difference(const std::string& image, const std::string& read, std::size_t width,
                              std::int64_t cells) {
    if (read == image)
        return -1;
    for (std::int64_t i = 0; i < cells; ++i) {
        const std::size_t at = static_cast<std::size_t>(i) * width + 1;
        if (digits(image, at, at + width - 1) != digits(read, at, at + width - 1))
            return i;
    }
    return -1;
}

bool verify_rom(ChipContext& ctx, std::string& report) {
    Link& link = ctx.link;
    const std::string image = rom_image(ctx);
    ctx.status(texts::kVerifyingRom);
    if (!link.send_d("04", "56"))
        return false;
    const std::string read = read_rom_chip(ctx);
    if (read == "00" || !link.send_d("05", "76"))
        return false;
    const std::size_t w = cell_digits(ctx.chip);
    const std::int64_t i = first_difference(image, read, w, ctx.chip.ROMsize);
    if (i >= 0) {
        const std::size_t at = static_cast<std::size_t>(i) * w + 1;
        report += entry("ROM error at address 0x" + hex4(i), digits(image, at, at + w - 1),
                        digits(read, at, at + w - 1));
    }
    return true;
}

bool verify_eeprom(ChipContext& ctx, std::string& report) {
    Link& link = ctx.link;
    if (!link.send_d("04", "56"))
        return false;
    const std::string image = ctx.buffer.buffer_eeprom();
    ctx.status(texts::kVerifyingEeprom);
    const std::string read = read_eeprom_chip(ctx);
    if (read == "00" || !link.send_d("05", "76"))
        return false;
    const auto bytes = static_cast<std::int64_t>(std::min(read.size(), image.size()) / 2);
    const std::int64_t i = first_difference(image, read, 2, bytes);
    if (i >= 0) {
        const std::size_t at = static_cast<std::size_t>(i) * 2 + 1;
        report += "EEPROM error at address 0x" + hex4(i) +
                  good_bad(digits(image, at, at + 1), digits(read, at, at + 1));
    }
    return true;
}

} // namespace

std::string expected_id_config(const ChipContext& ctx) {
    const Buffer& b = ctx.buffer;
    if (ctx.chip.CHIPbit == 3) {
        std::string text = digits(b.lab_id1.get(), 3, 18);
        for (int k = 1; k <= 7; ++k)
            text += low_first(b.lab_fuse(k).get());
        return text;
    }
    std::string text = digits(b.lab_id1.get(), 3, 10) + low_first(b.lab_fuse(1).get());
    if (ctx.lab_fuse2_enabled())
        text += low_first(b.lab_fuse(2).get());
    return text;
}

std::string read_id_config(const ChipContext& ctx, std::string_view info) {
    std::string text = digits(info, 7, 50);
    if (ctx.chip.CHIPbit == 3)
        return text;
    text.erase(8, 8);
    text.resize(text.size() - (ctx.lab_fuse2_enabled() ? 20 : 24));
    return text;
}

bool verify_chip(ChipContext& ctx) {
    Link& link = ctx.link;
    ctx.status(texts::kVerifyingIdFuses);
    const std::string expected = expected_id_config(ctx);
    const std::string info = link.send0d();
    if (info == "00")
        return false;
    std::string report;
    compare_id_config(ctx, expected, read_id_config(ctx, info), report);
    if (!verify_rom(ctx, report))
        return false;
    if (ctx.chip.EEPROMsize > 0 && !verify_eeprom(ctx, report))
        return false;
    ctx.status(texts::kVerifyResult);
    if (report.empty())
        return true;
    link.signal_failure();
    ctx.op().show_message(texts::kVerificationError + report, texts::kError, Icon::Error);
    return false;
}

} // namespace zz
