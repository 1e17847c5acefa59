// Bringing the board back: reopening a released port, restarting the board through DTR, and
// the success and failure signals.
#include "link/link.h"
#include "link/link_texts.h"
#include "link/programmer_model.h"

namespace zz {

void Link::check_com_open() {
    if (!flags_.N18)
        return;
    for (int attempt = 0; attempt < 3; ++attempt) {
        status.Label11 = std::string(texts::kCheckSerialPort);
        Timer3.stop();
        forget_board();
        try {
            port_->open();
            // An open port is on: a board that announces itself as it opens is answered.
            flags_.N18.checked = false;
            pump_delay(loop_, 10);
            port_->set_dtr(DtrControl::Enable);
        } catch (const CommError&) {
        }
        // A port that dies as it opens stays shown closed; the operation says so.
        if (port_lost_)
            return;
        expect_announcement();
        // The board announces itself meanwhile and the announcement path completes the handshake.
        if (pump_until(loop_, 81, [this] { return BoardReady || port_lost_; }))
            return;
        port_->set_dtr(DtrControl::Disable);
        port_->close();
        pump_delay(loop_, 100);
    }
}

bool Link::reset_program() {
    // A lost port has no board behind it to restart.
    if (AppClosing || port_lost_)
        return false;
    status.progress_position = 0;
    status.progress_max = 32;
    port_->expect_reply({}); // the identity's length is not known
    try {
        port_->set_dtr(DtrControl::Disable);
        loop_.sleep_ms(50);
        ReplyText.clear();
        port_->set_dtr(DtrControl::Enable);
    } catch (const std::exception&) {
    }
    loop_.poll_pause(10);
    const ProgrammerModelInfo* model = programmer_model(ProgrammerModel);
    // Polls every 5 ms (a 2 ms step and 3 ms of pumping between the looks), ending as soon as
    // the identity is in.
    wait_reply(1000, [&] { return reply_bytes() >= 2; });
    if (!model || ReplyText != model->identity)
        return false;
    ReplyText.clear();
    expect_exactly("50");
    mscomm1send("50");
    wait_reply(1000, [&] { return reply_bytes() >= 1; });
    if (ReplyText != "50")
        return false;
    status.Label10 = std::string(model->reconnected);
    pump_delay(loop_, 1);
    return true;
}

bool Link::reset_program_tries(int tries) {
    for (int i = 0; i < tries; ++i) {
        if (reset_program())
            return true;
    }
    return false;
}

bool Link::sound_tone(int ms) {
    if (port_lost_)
        return true;
    if (op_.play_tone(1000, ms))
        return true;
    op_.show_message(texts::kSoundError, texts::kInformation, Icon::Information);
    return false;
}

void Link::signal_success() {
    if (!flags_.N31)
        sound_tone(500);
}

void Link::signal_failure() {
    reset_program_tries(9);
    if (flags_.N31 || port_lost_)
        return;
    // Three short tones; a sound device that fails is reported once.
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            loop_.sleep_ms(200);
        if (!sound_tone(200))
            return;
    }
}

} // namespace zz
