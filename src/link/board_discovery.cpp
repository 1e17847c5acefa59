#include "link/board_discovery.h"

#include "link/link_texts.h"
#include "link/programmer_model.h"

#include <algorithm>
#include <filesystem>
#include <libserialport.h>

namespace zz {

namespace {
constexpr const char* kStartExecute = "Start execute";
constexpr const char* kFindingBoard = "Finding board....";
constexpr const char* kFindResults = "Find results";
constexpr const char* kNothingFound = "Did not find any device, please check...\r\n"
                                      "  Communications port\r\n"
                                      "  Device connection and power";
} // namespace

std::vector<std::string> system_serial_ports() {
    std::vector<std::string> names;
    sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK)
        return names;
    for (sp_port** p = ports; *p; ++p)
        names.emplace_back(sp_get_port_name(*p));
    sp_free_port_list(ports);
    return names;
}

BoardDiscovery::BoardDiscovery(Link& link, PortLister lister)
    : link_(link), lister_(std::move(lister)),
      lost_watch_(link.loop(), kLostWatchMs, [this] { lost_port_tick(); }) {
    link_.set_port_lost_handler([this](const std::string& name) { watch_lost_port(name); });
}

void BoardDiscovery::test_com() {
    selector.items = lister_ ? lister_() : std::vector<std::string>{};
}

bool BoardDiscovery::open_with_dtr(int settle) {
    Port& port = link_.port();
    try {
        port.open();
        // An open port is on: a board that announces itself as it opens is answered.
        link_.flags().N18.checked = false;
        pump_delay(link_.loop(), settle);
        port.set_dtr(DtrControl::Enable);
        open_error_.clear();
        return true;
    } catch (const CommError& e) {
        open_error_ = e.what();
        return false;
    }
}

std::string BoardDiscovery::with_open_error(std::string message) const {
    if (const std::size_t line_end = open_error_.find('\n'); line_end != std::string::npos)
        message += "\r\n" + open_error_.substr(line_end + 1);
    return message;
}

void BoardDiscovery::close_quietly(int settle) {
    link_.port().set_dtr(DtrControl::Disable);
    pump_delay(link_.loop(), settle);
    link_.port().close();
}

void BoardDiscovery::reopen_port(bool show_status) {
    if (!link_.flags().N18)
        return;
    if (show_status) {
        link_.status.Label11 = std::string(kStartExecute);
        link_.Timer3.stop();
    }
    open_with_dtr(10);
    link_.status.Label5_enabled = true;
    link_.flags().N18.checked = false;
    pump_delay(link_.loop(), 1);
}

void BoardDiscovery::cmbbxcomnumChange() {
    reopen_port(false);
    Port& port = link_.port();
    port.set_dtr(DtrControl::Disable);
    link_.status.Label11 = std::string(kStartExecute);
    pump_delay(link_.loop(), 5);
    port.close();
    port.set_name(selector.text);
    link_.status.Label5 = selector.text.get();
    pump_delay(link_.loop(), 0);
    link_.Timer3.stop();
    link_.forget_board();
    open_with_dtr(15);
    link_.watch_for_announcement();
}

void BoardDiscovery::N18Click() {
    Flag& off = link_.flags().N18;
    if (off) {
        link_.Timer3.stop();
        link_.forget_board();
        if (!open_with_dtr(15))
            link_.op().show_message(with_open_error("Error opening communication port"),
                                    texts::kError, Icon::Error);
        link_.expect_announcement();
        return;
    }
    // Closing a port cannot fail here, so "Error closing communication port" never shows.
    close_quietly(5);
    link_.BoardReady = false;
    link_.status.Label5_enabled = false;
    link_.status.Label11 = std::string(texts::kSerialPortClosed);
    if (const ProgrammerModelInfo* model = programmer_model(link_.ProgrammerModel))
        link_.status.Label10 = std::string(model->lost);
    off.checked = true;
}

void BoardDiscovery::N16Click() {
    const bool was_off = link_.flags().N18;
    reopen_port();
    if (was_off && !link_.port().is_open())
        link_.op().show_message(with_open_error("Canot open serial port"), texts::kError,
                                Icon::Error);
    Port& port = link_.port();
    port.set_dtr(DtrControl::Disable);
    link_.status.Label11 = "Resetting programer...";
    pump_delay(link_.loop(), 5);
    port.close();
    pump_delay(link_.loop(), 100);
    link_.Timer3.stop();
    link_.forget_board();
    open_with_dtr(400);
    link_.expect_announcement();
}

void BoardDiscovery::N29Click() {
    reopen_port();
    findbord();
}

bool BoardDiscovery::probe(const std::string& name) {
    Port& port = link_.port();
    port.set_name(name);
    selector.text = name;
    link_.status.Label5 = name;
    link_.Timer3.stop();
    open_with_dtr(15); // a port that cannot be opened simply gives no answer
    link_.ReplyText.clear();
    link_.ReplyTimedOut = false;
    link_.loop().poll_pause(25);
    link_.CollectReplies = true;
    link_.Timer1.stop();
    link_.wait_reply(1000, [&] { return link_.reply_bytes() >= 2; });
    return model_of_identity(link_.ReplyText).has_value();
}

void BoardDiscovery::findbord() {
    close_quietly(5);
    test_com();
    link_.status.Label11 = std::string(kFindingBoard);
    link_.status.Label10 = std::string();
    const std::vector<std::string> ports = selector.items.get();
    for (const std::string& name : ports) {
        if (probe(name)) {
            found(*model_of_identity(link_.ReplyText), name);
            link_.watch_for_announcement();
            return;
        }
        close_quietly(5);
    }
    none_found();
    link_.watch_for_announcement();
}

void BoardDiscovery::found(int model, const std::string& name) {
    link_.ProgrammerModel = model;
    if (!link_.StartupSearchPending) {
        link_.status.Label11 = std::string(kFindResults);
        link_.op().show_message(std::string(programmer_model(model)->found) + name,
                                texts::kInformation, Icon::Information);
    }
    if (apply_found_model)
        apply_found_model();
    close_quietly(5);
    link_.loop().sleep_ms(500);
    link_.forget_board();
    open_with_dtr(15);
    link_.CollectReplies = false;
    link_.StartupSearchPending = false;
}

void BoardDiscovery::none_found() {
    if (!link_.StartupSearchPending) {
        link_.status.Label11 = std::string(kFindResults);
        link_.op().show_message(kNothingFound, texts::kError, Icon::Error);
    }
    close_quietly(5);
    link_.StartupSearchPending = false;
    link_.loop().sleep_ms(100);
    open_with_dtr(15); // the last port tried stays selected and open
    link_.CollectReplies = false;
}

void BoardDiscovery::restart_for_model() {
    Port& port = link_.port();
    port.set_dtr(DtrControl::Disable);
    link_.status.Label11 = "Resetting...";
    pump_delay(link_.loop(), 0);
    link_.BoardReady = false;
    link_.loop().sleep_ms(500);
    port.set_dtr(DtrControl::Enable);
    link_.CollectReplies = false;
    link_.Timer1.start();
}

void BoardDiscovery::watch_lost_port(const std::string& name) {
    lost_name_ = name;
    lost_watch_.start();
}

bool BoardDiscovery::port_present(const std::string& name) const {
    const std::vector<std::string> names = lister_ ? lister_() : std::vector<std::string>{};
    if (std::find(names.begin(), names.end(), name) != names.end())
        return true;
    // A port the system does not list (a pseudo-terminal, a link to one) is back with its path.
    std::error_code ec;
    return name.starts_with('/') && std::filesystem::exists(name, ec);
}

void BoardDiscovery::lost_port_tick() {
    Port& port = link_.port();
    if (!link_.flags().N18 || port.is_open() || port.name() != lost_name_) {
        lost_watch_.stop();
        return;
    }
    if (link_.Busy || !port_present(lost_name_))
        return;
    link_.status.Label11 = std::string(kStartExecute);
    link_.forget_board();
    // A device node can appear before it may be opened; the next tick tries again.
    if (!open_with_dtr(15)) {
        link_.status.Label11 = std::string(texts::kSerialPortClosed);
        return;
    }
    lost_watch_.stop();
    link_.expect_announcement();
}

} // namespace zz
