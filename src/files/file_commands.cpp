#include "files/file_commands.h"

#include "files/checksum.h"
#include "files/hex_import.h"
#include "files/image_export.h"

#include <filesystem>
#include <stdexcept>

namespace zz {

namespace {

void let_events_run(const FileCommandContext& ctx) {
    if (ctx.process_events)
        ctx.process_events();
}

std::string full_path(const std::string& chosen) {
    std::error_code failed;
    const auto path = std::filesystem::absolute(chosen, failed);
    return failed ? chosen : path.lexically_normal().string();
}

} // namespace

std::string save_error_text(const std::exception& reason) {
    return std::string(kSaveError) + "\r\n" + reason.what();
}

void load_command(FileCommandContext& ctx) {
    if (ctx.Busy || ctx.chosen_path.empty())
        return;
    ctx.CurrentFileName = full_path(ctx.chosen_path);
    ctx.caption = std::string(kLoadCaptionPrefix) + ctx.CurrentFileName;
    let_events_run(ctx);
    ctx.buffer.clrbuffer(ctx.chip);
    const LoadResult result = read_image_file(ctx.chip, ctx.buffer, ctx.CurrentFileName);
    if (!result.ok)
        ctx.op.show_message(result.error, "Error", Icon::Error);
    if (!result.warning.empty() && ctx.show_warning)
        ctx.show_warning(result.warning);
    let_events_run(ctx);
    // Also after a failed read, so the checksum shown is that of what the buffer holds.
    calc_checksum(ctx.chip, ctx.buffer);
    if (ctx.arm_file_watch)
        ctx.arm_file_watch();
}

void save_command(FileCommandContext& ctx) {
    if (ctx.Busy || ctx.chosen_path.empty())
        return;
    ctx.CurrentFileName = ctx.chosen_path;
    try {
        export_image_file(ctx.chip, ctx.buffer, ctx.CurrentFileName);
    } catch (const std::exception& e) {
        ctx.op.show_message(save_error_text(e), "Error", Icon::Error);
    }
    ctx.caption = ctx.caption.get() + " -- " + ctx.CurrentFileName;
    if (ctx.arm_file_watch)
        ctx.arm_file_watch();
}

} // namespace zz
