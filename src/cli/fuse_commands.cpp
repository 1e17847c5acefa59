// The fuse editor on the command line: the settings listed by name, and choices made by name.
#include "cli/fuse_commands.h"

#include "cli/cli_commands.h"
#include "dialogs/fuse/fuse_command.h"
#include "dialogs/fuse/fuse_names.h"

namespace zz::cli {

namespace {

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ", ") + item;
    return out;
}

std::vector<std::string> option_texts(const FuseSetting& setting) {
    std::vector<std::string> texts;
    for (const FuseOption& option : setting.options)
        texts.push_back(option.text);
    return texts;
}

// One line per setting ("Watchdog Timer = Off   (Off, On)"; without an image no current option)
// and the same as JSON.
void list_settings(CliContext& c, const FuseEditor& editor, bool with_image) {
    std::string json = "[";
    for (std::size_t s = 0; s < editor.settings().size(); ++s) {
        const FuseSetting& setting = editor.settings()[s];
        const std::vector<std::string> options = option_texts(setting);
        const auto chosen = editor.chosen(s);
        const std::string current = chosen ? options[*chosen] : "?";
        c.out.line(setting.caption + (with_image ? " = " + current : std::string()) + "   (" +
                   joined(options) + ")");
        json += std::string(s ? "," : "") + "{\"name\":" + json_quote(setting.caption) +
                ",\"word\":" + std::to_string(setting.word) +
                ",\"options\":" + json_strings(options);
        if (with_image)
            json += ",\"current\":" + (chosen ? json_quote(current) : std::string("null"));
        json += "}";
    }
    c.out.field("settings", json + "]");
}

void list_values(CliContext& c, const FuseEditor& editor) {
    std::vector<std::string> words;
    for (int k = 1; k <= editor.word_count(); ++k)
        words.push_back(c.session.buffer.lab_fuse(k).get());
    c.out.field("words", json_strings(words));
    if (!editor.id().enabled())
        return;
    const std::string id = c.session.buffer.lab_id1.get();
    c.out.line("User ID = " + id);
    c.out.field("id", json_quote(id));
}

// Makes the choices of --set and --set-id; empty, or why they cannot be made.
std::string edit(FuseEditor& editor, const FuseEdits& edits) {
    for (const std::string& assignment : edits.set) {
        const auto eq = assignment.find('=');
        if (std::string refusal =
                choose_by_name(editor, assignment.substr(0, eq), assignment.substr(eq + 1));
            !refusal.empty())
            return refusal;
    }
    if (!edits.set_id)
        return {};
    return set_id_by_text(editor, *edits.set_id);
}

} // namespace

int fuses_command(CliContext& c) {
    const bool with_image = !c.options.args.empty();
    if (with_image)
        if (const int status = load_file(c, c.options.args[0]); status != kSuccess)
            return status;
    FuseCommand command(c.session.fuse_target());
    command.run([&](FuseEditor& editor) {
        list_settings(c, editor, with_image);
        if (with_image)
            list_values(c, editor);
    });
    return kSuccess;
}

int apply_fuse_edits(CliContext& c) {
    const FuseEdits& edits = c.options.fuse_edits;
    if (edits.set.empty() && !edits.set_id)
        return kSuccess;
    const std::string chip = c.session.ComboBox1.get();
    if (c.session.chip().is_serial_eeprom()) {
        c.op.show_message(chip + ": a serial EEPROM has no fuses and no user ID", "Error",
                          Icon::Error);
        return kBadInput;
    }
    std::string refusal;
    FuseCommand command(c.session.fuse_target());
    command.run([&](FuseEditor& editor) {
        refusal = edit(editor, edits);
        if (refusal.empty())
            editor.ok();
    });
    if (refusal.empty())
        return kSuccess;
    c.op.show_message(chip + ": " + refusal, "Error", Icon::Error);
    return kBadInput;
}

} // namespace zz::cli
