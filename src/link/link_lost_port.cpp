// A port whose device goes away while open: closed at once, shown closed, and said once.
#include "link/link.h"
#include "link/link_texts.h"
#include "link/programmer_model.h"

namespace zz {

void Link::Comm1Lost() {
    if (port_lost_)
        return;
    port_lost_ = true;
    lost_port_name_ = port_->name();
    held_announcement_.clear();
    Timer1.stop();
    Timer2.stop();
    Timer3.stop();
    ReplyTimedOut = true; // ends a reply wait under way
    port_->close();
    BoardReady = false;
    flags_.N18.checked = true;
    show_port_closed();
    // Inside an operation the message waits until the operation has ended, so nothing the
    // operation does on its way out follows it.
    if (!Busy)
        say_port_lost();
    if (port_lost_handler_)
        port_lost_handler_(lost_port_name_);
}

void Link::show_port_closed() {
    status.Label5_enabled = false;
    status.Label11 = std::string(texts::kSerialPortClosed);
    if (const ProgrammerModelInfo* model = programmer_model(ProgrammerModel))
        status.Label10 = std::string(model->lost);
}

void Link::say_port_lost() {
    port_lost_ = false;
    show_port_closed();
    op_.show_message(texts::kPortLostBefore + lost_port_name_ + texts::kPortLostAfter,
                     texts::kError, Icon::Error);
}

void Link::OperationVoice::show_message(std::string_view text, std::string_view caption,
                                        Icon icon) {
    if (!link_.port_lost_)
        link_.op_.show_message(text, caption, icon);
}

bool Link::OperationVoice::ask_yes_no(std::string_view text, std::string_view caption) {
    return !link_.port_lost_ && link_.op_.ask_yes_no(text, caption);
}

bool Link::OperationVoice::play_tone(int hz, int ms) {
    return link_.port_lost_ || link_.op_.play_tone(hz, ms);
}

} // namespace zz
