#include "cli/station_options.h"

namespace zz::cli {

bool parse_station_option(const std::string& name, OptionArg& arg, CliOptions& o) {
    if (name == "--listen")
        o.listen.address = arg.value();
    else if (name == "--token-file")
        o.listen.token_file = arg.value();
    else if (name == "--allow-job-change")
        o.listen.allow_job_change = true;
    else
        return false;
    return true;
}

void check_station_options(const CliOptions& o, const CommandInfo&) {
    const bool station = o.command == "station";
    if (!station &&
        (!o.listen.address.empty() || !o.listen.token_file.empty() || o.listen.allow_job_change))
        throw UsageError("--listen, --token-file and --allow-job-change belong to station");
    if (station && o.listen.address.empty())
        throw UsageError("station needs --listen unix:PATH or --listen tcp:HOST:PORT");
    const FlagOptions& f = o.flags;
    if (station && (f.icsp || f.vpp_first || f.no_chip_check || f.osccal_from_chip))
        throw UsageError("--icsp, --vpp-first, --no-chip-check and --osccal-from do not apply to "
                         "station: its boards take the settings file's options");
    if (station && (!o.chip_image.empty() || !o.chip_save.empty() || o.virtual_chip))
        throw UsageError("--virtual-chip, --chip-image and --chip-save do not apply to station: "
                         "its virtual boards hold blank chips");
}

const char kStationHelp[] =
    R"(  --listen ADDRESS     station: the control socket, unix:PATH (mode 0660) or
                       tcp:HOST:PORT (HOST empty: loopback)
  --token-file FILE    station: the first request of each connection carries the token, the
                       first line of FILE (needed for an address beyond loopback)
  --allow-job-change   station: clients may set the released job every board runs
                       ({"cmd":"job","name":"NAME[@REV]"}, every board idle)
)";

} // namespace zz::cli
