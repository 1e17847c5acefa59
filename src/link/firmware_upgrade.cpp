#include "link/firmware_upgrade.h"

#include "base/hex_text.h"
#include "link/firmware_image.h"
#include "link/link_texts.h"
#include "link/programmer_model.h"

#include <array>

namespace zz {

namespace {

constexpr int kRestartTries = 4;
constexpr std::size_t kBlockDigits = 64; // 16 words
constexpr int kBlockWords = 16;
// The block counter runs from 2048 to 8256: room for 388 blocks, four more than the board's
// 6144-word memory takes.
constexpr int kFirstBlock = 2048;
constexpr int kBlockLimit = 8256;
constexpr std::size_t kReadBackDigits = FirmwareImage::kMaxWords * 4;
constexpr std::string_view kBlockRequest = "59"; // the board asks for the next block

// Four digits per padding word: a byte-wide blank (serial EEPROMs) is doubled, so padding
// blocks keep their 32 bytes; without a usable blank the erased word FFFFh.
std::string padding_word(const std::string& blank) {
    if (blank.size() == 4 && hex_to_int(blank) >= 0)
        return blank;
    if (blank.size() == 2 && hex_to_int(blank) >= 0)
        return blank + blank;
    return "FFFF";
}

// One run of the upgrade, from the restart into upgrade mode to the new version.
class Upgrade {
public:
    Upgrade(Link& link, const FirmwareImage& image, const FirmwareUpgradeRequest& request)
        : link_(link), image_(image), blank_(padding_word(request.ROMblank)),
          model_(request.model.value_or(link.ProgrammerModel)) {}

    bool run() {
        if (!enter_upgrade_mode())
            return false;
        link_.status.Label11 = std::string(texts::kUpgradeStart);
        link_.loop().process_events();
        link_.loop().process_events();
        if (!send_image())
            return false;
        std::string collected;
        if (!read_back(collected))
            return false;
        // Compared with what was sent, padding included: a short image is not a failure.
        if (collected == sent_ && report_version())
            return true;
        fail(texts::kUpgradeFail);
        return false;
    }

private:
    void fail(const char* text) {
        link_.signal_failure();
        link_.op().show_message(text, texts::kError, Icon::Error);
    }

    // DTR off and on; the identity is in ReplyText.
    void restart_board() {
        try {
            link_.port().set_dtr(DtrControl::Disable);
            link_.loop().sleep_ms(100);
            link_.ReplyText.clear();
            link_.port().set_dtr(DtrControl::Enable);
        } catch (const std::exception&) {
        }
        link_.loop().poll_pause(25);
        link_.wait_reply(2000, [this] { return link_.reply_bytes() >= 2; });
    }

    bool enter_upgrade_mode() {
        for (int attempt = 0; attempt < kRestartTries; ++attempt) {
            restart_board();
            if (link_.reply_bytes() == 2)
                break;
        }
        const std::optional<int> board_model = model_of_identity(link_.take_reply());
        if (board_model && *board_model != model_) {
            report_other_model(*board_model);
            return false;
        }
        bool answered = false;
        if (board_model) {
            link_.expect_exactly("55");
            link_.mscomm1send("55");
            link_.wait_reply(1000, [this] { return link_.reply_bytes() >= 1; });
            answered = link_.take_reply() == "55";
        }
        if (!answered)
            link_.op().show_message(texts::kBoardNotResponding, texts::kError, Icon::Error);
        return answered;
    }

    // Another model's firmware would leave the board unusable: nothing is sent.
    void report_other_model(int board_model) {
        const std::string board(programmer_model(board_model)->menu_caption);
        const std::string selected(programmer_model(model_)->menu_caption);
        link_.op().show_message("The board is a " + board + " programmer, but " + selected +
                                    " is selected.\r\nChoose the board's model (Option, Select "
                                    "Programmer; --model N on the command line) before "
                                    "upgrading its firmware.",
                                texts::kError, Icon::Error);
    }

    // The image in board-paced blocks, until the board's reply holds 50h.
    bool send_image() {
        link_.ReplyText.clear();
        link_.expect_exactly(kBlockRequest);
        link_.mscomm1send("072000");
        link_.status.progress_max = static_cast<int>(FirmwareImage::kMaxWords);
        for (int block = kFirstBlock; block < kBlockLimit;) {
            link_.wait_reply(8000, [this] { return link_.reply_bytes() >= 1; });
            if (link_.reply_bytes() < 1) {
                link_.fail_receive();
                return false;
            }
            const std::string reply = link_.take_reply();
            if (reply == kBlockRequest) {
                link_.expect_exactly(kBlockRequest);
                link_.mscomm1send(next_block());
                link_.status.progress_position = block - kFirstBlock;
                block += kBlockWords;
                continue;
            }
            if (reply.substr(0, 2) == "50" || reply.substr(2, 2) == "50")
                return true;
            link_.fail_receive();
            return false;
        }
        // A board that keeps asking has not taken the image the way it was sent.
        fail(texts::kUpgradeFail);
        return false;
    }

    // The next 16 words of the image; words beyond its end are the padding word.
    std::string next_block() {
        std::string block;
        if (position_ < image_.words.size())
            block = image_.words.substr(position_, kBlockDigits);
        position_ += kBlockDigits;
        while (block.size() < kBlockDigits)
            block += blank_;
        sent_ += block;
        return block;
    }

    bool read_back(std::string& collected) {
        link_.ReplyText.clear();
        link_.expect_bytes(kReadBackDigits / 2);
        link_.mscomm1send("0B");
        // The bar counts digits, and the memory reads back as 24576 of them.
        link_.status.progress_max = static_cast<int>(kReadBackDigits);
        link_.status.progress_position = 0;
        link_.status.Label11 = std::string(texts::kUpgradeReadBack);
        while (collected.size() < kReadBackDigits) {
            link_.wait_reply(1000, [this] { return link_.reply_bytes() >= 1; });
            if (link_.reply_bytes() < 1) {
                link_.fail_receive();
                return false;
            }
            collected += link_.take_reply();
            link_.status.progress_position = static_cast<int>(collected.size());
        }
        return true;
    }

    // The board restarts with the new firmware and must announce the selected model.
    bool report_version() {
        link_.reset_program_tries(9);
        link_.ReplyText.clear();
        link_.mscomm1send("15");
        link_.status.Label11 = std::string(texts::kUpgradeResult);
        link_.wait_reply(2000, [this] { return link_.reply_bytes() >= 4; });
        if (link_.reply_bytes() < 4)
            return false;
        const std::string version = hex_pairs_to_bytes(link_.take_reply());
        link_.signal_success();
        link_.op().show_message(texts::kUpgradeDone + version, texts::kInformation,
                                Icon::Information);
        return true;
    }

    Link& link_;
    const FirmwareImage& image_;
    const std::string blank_;
    const int model_; // the board must be of this model
    std::size_t position_ = 0;
    std::string sent_; // every block as sent
};

} // namespace

std::string_view firmware_file_name(int model) {
    static constexpr std::array<std::string_view, 4> kFiles{"", "up320.hex", "up330.hex",
                                                            "up300.hex"};
    if (model < 1 || model > 4)
        return {};
    return kFiles[static_cast<std::size_t>(model - 1)];
}

bool updata_board(Link& link, const FirmwareUpgradeRequest& request) {
    if (firmware_file_name(link.ProgrammerModel).empty())
        return false;
    const FirmwareImageRead read = read_firmware_image(request.image_file);
    if (!read.image) {
        link.op().show_message(read.error, texts::kError, Icon::Error);
        return false;
    }
    if (!link.op().ask_yes_no(texts::kUpgradeQuestion + read.image->version, texts::kInquiry))
        return false;
    return Upgrade(link, *read.image, request).run();
}

bool firmware_upgrade_command(Link& link, const FirmwareUpgradeRequest& request) {
    if (link.Busy)
        return false;
    link.Busy = true;
    link.check_com_open(); // the board's readiness is not tested
    // The watchdog of a board that did not finish its handshake would break into the transfer
    // with its message; the frame's end starts it again.
    link.Timer1.stop();
    link.CollectReplies = true;
    const bool upgraded = updata_board(link, request);
    link.reset_program_tries(9);
    link.status.Label11 = std::string(texts::kReady);
    link.status.progress_position = 0;
    link.status.progress_max = 32;
    link.finish_operation();
    link.Busy = false;
    return upgraded;
}

} // namespace zz
