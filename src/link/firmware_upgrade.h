#pragma once

#include "link/link.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zz {

namespace texts {
inline constexpr const char* kInquiry = "Inquiry";
inline constexpr const char* kUpgradeQuestion = "You whether want upgrade hardware go V";
inline constexpr const char* kUpgradeStart = "Start upgrade hardware....";
inline constexpr const char* kUpgradeReadBack = "test whether upgrade is successful..";
inline constexpr const char* kUpgradeResult = "Hardware upgrade result";
inline constexpr const char* kUpgradeDone = "hardware successfully upgraded, hardware version:";
inline constexpr const char* kUpgradeFail = "Upgrade hardware fail";
} // namespace texts

// The name of the firmware image each programmer model takes; empty for model 1, which has no
// firmware upgrade.
std::string_view firmware_file_name(int model);

// What an upgrade needs besides the link.
struct FirmwareUpgradeRequest {
    std::filesystem::path image_file;
    // The selected chip's blank word: it fills the blocks an image shorter than the board's
    // firmware memory leaves empty.
    std::string ROMblank;
    // The model the person chose; the board must be of it. Without a choice, the selected model
    // (which the board search at start-up may have set from the board).
    std::optional<int> model = std::nullopt;
};

// Replaces the board's firmware: the operator is asked, the board is restarted into its upgrade
// mode, sent the image in board-paced blocks, read back, restarted and asked for its version.
// True only when the read-back matched what was sent and the new version arrived. Runs inside
// the operation frame of firmware_upgrade_command.
bool updata_board(Link& link, const FirmwareUpgradeRequest& request);

// "Download Operating System / Upgrade Firmware": updata_board inside an operation that needs no
// ready board (a board with damaged firmware may not finish its handshake), ending with the
// board restarted, "Ready", "01" and Busy cleared whatever happened. Returns updata_board's
// result; false while another operation runs.
bool firmware_upgrade_command(Link& link, const FirmwareUpgradeRequest& request);

} // namespace zz
