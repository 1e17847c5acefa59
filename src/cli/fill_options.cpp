#include "cli/fill_options.h"

#include "cli/buffer_edits.h"
#include "cli/cli_context.h"
#include "dialogs/edit/edit_command.h"
#include "dialogs/edit/edit_model.h"

namespace zz::cli {

namespace {

FillRequest parse_request(const std::string& text) {
    const auto bad = [&text] {
        return UsageError("--fill takes AREA:START-END=VALUE (AREA rom or eeprom, the rest hex), "
                          "not \"" +
                          text + "\"");
    };
    const std::size_t colon = text.find(':');
    const std::size_t dash = text.find('-', colon == std::string::npos ? 0 : colon);
    const std::size_t equals = text.find('=', dash == std::string::npos ? 0 : dash);
    if (colon == std::string::npos || dash == std::string::npos || equals == std::string::npos)
        throw bad();
    const std::string area = text.substr(0, colon);
    if (area != "rom" && area != "eeprom")
        throw bad();
    // Empty or out-of-range parts are the fill's own checks, with its messages.
    return FillRequest{area == "eeprom", text.substr(colon + 1, dash - colon - 1),
                       text.substr(dash + 1, equals - dash - 1), text.substr(equals + 1), text};
}

// The request's three fields as typed into the dialog's fill group; false after saying which
// text a field would not take.
bool set_fields(CliContext& c, EditModel& model, const FillRequest& r) {
    const FillField first = r.eeprom ? FillField::eeprom_start : FillField::rom_start;
    const std::string* texts[] = {&r.start, &r.end, &r.value};
    for (int k = 0; k < 3; ++k) {
        const auto field = static_cast<FillField>(static_cast<int>(first) + k);
        if (model.set_field(field, *texts[k]))
            continue;
        c.op.show_message("--fill " + r.text + ": \"" + *texts[k] +
                              "\" is not a hex number of at most " +
                              std::to_string(model.field_max(field)) + " digits",
                          "Error", Icon::Error);
        return false;
    }
    return true;
}

} // namespace

bool parse_fill_option(const std::string& name, OptionArg& arg, CliOptions& o) {
    if (name != "--fill")
        return false;
    o.fill.requests.push_back(parse_request(arg.value()));
    return true;
}

void check_fill_options(const CliOptions& o, const CommandInfo&) {
    if (!o.fill.requests.empty() && !loads_image(o))
        throw UsageError("--fill belongs to a command that loads an image FILE");
}

const char kFillHelp[] =
    "  --fill AREA:START-END=VALUE  after loading FILE, fill rom or eeprom cells START..END (hex)\n"
    "                       with VALUE (hex, one cell wide); repeatable, applied in order\n";

int apply_fills(CliContext& c) {
    const std::vector<FillRequest>& requests = c.options.fill.requests;
    if (requests.empty())
        return kSuccess;
    Session& s = c.session;
    bool done = false;
    edit_buffer_command(s.link().Busy, s.chip(), s.buffer, [&] {
        EditModel model(s.chip(), s.buffer, c.op);
        for (const FillRequest& r : requests) {
            if (!set_fields(c, model, r) || !(r.eeprom ? model.eeprom_fill() : model.rom_fill()))
                return;
        }
        done = model.ok();
    });
    return done ? kSuccess : kBadInput;
}

} // namespace zz::cli
