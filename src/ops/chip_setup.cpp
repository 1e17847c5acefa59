#include "ops/chip_setup.h"

#include "base/hex_text.h"
#include "link/link_texts.h"
#include "ops/chip_text.h"
#include "ops/ops_texts.h"

namespace zz {

std::string masked_device_id(std::string_view info) {
    const std::int32_t id = hex_to_int(digits(info, 3, 6));
    return hex4(id < 0 ? 0 : id & 0xE03F);
}

bool write_chip_message(ChipContext& ctx) {
    ctx.status(texts::kWriteChipMessage);
    if (!ctx.link.send03(ctx.chip))
        return false;
    const std::string info = ctx.link.send0d();
    if (info == "00")
        return false;
    const std::string id = masked_device_id(info);
    ctx.state.device_id_read = id;
    if (ctx.chip.ChipID == "FFFF" || ctx.flags.N32)
        return true;
    if (id == ctx.chip.ChipID)
        return true;
    ctx.link.signal_failure();
    const std::string question = std::string(texts::kInvalidDeviceId) + ctx.chip.ChipID +
                                 "read:" + id + "\r\n" + texts::kContinueProgram;
    return ctx.op().ask_yes_no(ctx.with_checklist(question), texts::kInformation);
}

} // namespace zz
