#include "cli/ports_command.h"

#include "sim/virtual_line.h"

#include "cli/cli_context.h"
#include "link/port_access.h"
#include "link/port_details.h"

#include <cstdio>

namespace zz::cli {

namespace {

struct PortRow {
    PortDetails details;
    PortAccess access;
};

std::vector<PortRow> port_rows(const CliOptions& o) {
    std::vector<PortRow> rows;
    if (o.virtual_board) {
        for (const std::string& name : virtual_line(3, "Virtual board", false).lister())
            rows.push_back({{name, "", "the virtual board", std::nullopt, std::nullopt}, {}});
        return rows;
    }
    for (PortDetails& details : system_port_details()) {
        PortAccess access = port_access(details.device);
        rows.push_back({std::move(details), std::move(access)});
    }
    return rows;
}

std::string access_text(const PortAccess& access) {
    return access.may_open ? "ok" : "no access: " + access.hint;
}

// A bridge that holds received bytes up to its latency timer slows every reply down by as much.
std::string latency_text(const std::optional<int>& ms) {
    if (!ms)
        return "";
    std::string text = "\tlatency timer " + std::to_string(*ms) + " ms";
    if (*ms > 1)
        text += " (ze-zuzu asks for 1 ms while it has the port open; the udev rule in the "
                "README makes it 1 ms for good)";
    return text;
}

// A UART hands fewer bytes than its trigger level over only after 4 character times of quiet:
// about 1 ms on each of the board's short replies.
std::string rx_trigger_text(const std::optional<int>& bytes) {
    if (!bytes || *bytes <= 1)
        return "";
    return "\treceive trigger " + std::to_string(*bytes) +
           " bytes (short replies wait 4 character times in the UART; the udev rule in the README "
           "makes it 1 byte)";
}

std::string optional_json(const std::optional<int>& n) {
    return n ? std::to_string(*n) : "null";
}

std::string row_json(const PortRow& row) {
    const PortDetails& d = row.details;
    return "{\"device\":" + json_quote(d.device) + ",\"usb\":" + json_quote(d.usb_id) +
           ",\"description\":" + json_quote(d.description) +
           ",\"may_open\":" + (row.access.may_open ? "true" : "false") +
           ",\"hint\":" + json_quote(row.access.hint) +
           ",\"latency_timer_ms\":" + optional_json(d.latency_timer_ms) +
           ",\"rx_trigger_bytes\":" + optional_json(d.rx_trigger_bytes) + "}";
}

} // namespace

int ports_command(const CliOptions& o) {
    const std::vector<PortRow> rows = port_rows(o);
    CliOutput out(o.json);
    std::vector<std::string> names;
    std::string details = "[";
    for (const PortRow& row : rows) {
        const PortDetails& d = row.details;
        out.line(d.device + "\t" + (d.usb_id.empty() ? "-" : d.usb_id) + "\t" + d.description +
                 "\t" + access_text(row.access) + latency_text(d.latency_timer_ms) +
                 rx_trigger_text(d.rx_trigger_bytes));
        names.push_back(d.device);
        details += (names.size() > 1 ? "," : "") + row_json(row);
    }
    out.field("ports", json_strings(names));
    out.field("port_details", details + "]");
    if (o.json)
        std::printf("%s\n", out.object(o.command, kSuccess, {}).c_str());
    return kSuccess;
}

} // namespace zz::cli
