// The station view listening for remote control: handlers and testers drive its boards over a
// socket while the operator watches them on their panels.
#include "gui/dialogs/remote_control_dialog.h"
#include "gui/station_window.h"
#include "service/station_service.h"

namespace zz {

void StationWindow::choose_remote_control() {
    AppSettings& s = setup_.start.settings;
    const std::optional<RemoteControlModel> chosen = zz::choose_remote_control(
        RemoteControlModel(s.remote, s.remote_token_file, true), this);
    if (!chosen)
        return;
    s.remote = chosen->address();
    s.remote_token_file = chosen->token_file();
    keep_settings();
    listen();
}

void StationWindow::stop_listening() {
    service_.reset();
}

void StationWindow::listen() {
    stop_listening();
    const AppSettings& s = setup_.start.settings;
    std::vector<BoardRunner*> runners;
    for (Slot& slot : slots_) {
        if (!slot.runner)
            return; // it starts again: the service comes back with it
        if (!roster_.leaving(slot.port))
            runners.push_back(slot.runner.get());
    }
    remote_text_.clear();
    if (!s.remote.empty()) {
        try {
            const std::string token =
                s.remote_token_file.empty() ? std::string() : service::read_token_file(s.remote_token_file);
            auto service = std::make_unique<service::StationService>(service::ServiceSetup{
                setup_.station, runners, job_ ? job_->title() : std::string(), token, {}});
            service->listen(s.remote);
            remote_text_ = "Remote control on " + service->address();
            service_ = std::move(service);
        } catch (const service::ServiceError& e) {
            remote_text_ = std::string("Remote control: ") + e.what();
        }
    }
    show_status();
}

} // namespace zz
