#pragma once

#include "base/observable.h"
#include "base/operator.h"
#include "base/version.h"
#include "device/buffer.h"
#include "device/chip_params.h"

#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace zz {

// Filters of the open and save dialogs, and the save dialog's default extension.
inline constexpr std::string_view kLoadFilter =
    "Hex File (*.hex)|*.hex|Bin File (*.bin)|*.bin|All Files|*.*";
// A name chosen under the Bin filter saves a raw image (the form follows the name).
inline constexpr std::string_view kSaveFilter = "Hex File (*.hex)|*.hex|Bin File (*.bin)|*.bin";
inline constexpr std::string_view kSaveDefaultExtension = "*.hex";
// The window caption after a load: this, then the file's full path.
inline constexpr std::string_view kLoadCaptionPrefix = "ZE-ZUZU V" ZZ_VERSION "  ";
inline constexpr std::string_view kSaveError = "Error occured when saving file";

// kSaveError and, on its own line, the reason, which names the file.
std::string save_error_text(const std::exception& reason);

// What the Load and Save commands work on; the front end has already asked for the file.
struct FileCommandContext {
    bool Busy = false;       // an operation is running: the command does nothing
    std::string chosen_path; // from the file dialog; empty when it was cancelled
    const ChipParams& chip;
    Buffer& buffer;
    std::string& CurrentFileName;
    Value<std::string>& caption;
    Operator& op;
    // Records the file's modification time and (re)starts the file watch.
    std::function<void()> arm_file_watch;
    // Shows a warning in the status line.
    std::function<void(std::string_view)> show_warning;
    // Lets pending events run (the caption repaints); may be empty.
    std::function<void()> process_events;
};

// Load: the chosen file (as a full path) becomes the current file and the caption; the buffer is
// blanked and filled by the reader for CHIPbit; the checksum is recomputed and the watch armed.
void load_command(FileCommandContext& ctx);

// Save: the buffer goes to the chosen file as Intel HEX by the writer for CHIPbit, or as a raw
// image when the name is not a HEX file's; " -- " and the file name are appended to the caption
// whether or not that worked; the watch is armed.
void save_command(FileCommandContext& ctx);

} // namespace zz
