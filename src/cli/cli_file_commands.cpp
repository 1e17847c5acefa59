// The commands that work on the chip database and on image files only.
#include "cli/buffer_edits.h"
#include "cli/cli_commands.h"
#include "files/blank_image.h"

#include <cstdio>

namespace zz::cli {

namespace {

constexpr const char* kBlankImageWarning = "the image holds no data: the chip will be left blank";

std::string flag_text(bool value) {
    return value ? "1" : "0";
}

// The fields of a chip in the order of its definition's keys, by key name.
std::vector<std::pair<std::string, std::string>> chip_fields(const ChipParams& p) {
    std::vector<std::pair<std::string, std::string>> fields{
        {"EraseMode", p.EraseMode},
        {"FlashChip", flag_text(p.FlashChip)},
        {"PowerSequence", p.PowerSequence},
        {"ProgramDelay", p.ProgramDelay},
        {"ProgramTries", p.ProgramTries},
        {"OverProgram", p.OverProgram},
        {"CoreType", p.CoreType},
        {"ROMsize", std::to_string(p.ROMsize)},
        {"EEPROMsize", std::to_string(p.EEPROMsize)},
        {"SocketImage", std::to_string(p.SocketImage)},
        {"CALword", flag_text(p.CALword)},
        {"BandGap", flag_text(p.BandGap)},
        {"ICSPonly", flag_text(p.ICSPonly)},
        {"ChipID", p.ChipID},
        {"CHIPbit", std::to_string(p.CHIPbit)},
        {"ROMblank", p.ROMblank},
        {"FUSEOR", std::to_string(p.FUSEOR)},
        {"ProgramFlags", p.ProgramFlags},
        {"FUSEblank", p.FUSEblank},
    };
    for (std::size_t n = 0; n < p.LIST.size(); ++n)
        fields.emplace_back("LIST" + std::to_string(n + 1), p.LIST[n]);
    fields.emplace_back("FuseWordCount", std::to_string(p.FuseWordCount));
    return fields;
}

// The values shown in labels beside the grid, by label name.
std::vector<std::pair<std::string, std::string>> label_values(const Buffer& b) {
    std::vector<std::pair<std::string, std::string>> labels;
    for (int n = 1; n <= 7; ++n)
        labels.emplace_back("lab_fuse" + std::to_string(n), b.lab_fuse(n).get());
    labels.emplace_back("lab_id1", b.lab_id1.get());
    labels.emplace_back("lab_cal", b.lab_cal.get());
    labels.emplace_back("lab_band", b.lab_band.get());
    labels.emplace_back("lab_checksum", b.lab_checksum.get());
    return labels;
}

std::string json_object(const std::vector<std::pair<std::string, std::string>>& fields) {
    std::string out = "{";
    for (const auto& [key, value] : fields)
        out += (out.size() > 1 ? "," : "") + json_quote(key) + ":" + json_quote(value);
    return out + "}";
}

void print_fields(CliContext& c, const std::vector<std::pair<std::string, std::string>>& fields) {
    for (const auto& [key, value] : fields)
        c.out.line(key + "=" + value);
}

std::vector<std::string> grid_row(const Buffer& b, int row) {
    std::vector<std::string> cells;
    for (int column = 0; column < Buffer::kColumnCount; ++column)
        cells.push_back(b.grid_text(row, column));
    return cells;
}

std::string joined(const std::vector<std::string>& cells, char separator) {
    std::string line;
    for (std::size_t k = 0; k < cells.size(); ++k)
        line += (k ? std::string(1, separator) : "") + cells[k];
    return line;
}

} // namespace

int load_file(CliContext& c, const std::string& path) {
    const std::size_t shown = c.op.shown().size();
    const std::size_t statuses = c.statuses.size();
    c.session.load_command(path);
    for (std::size_t k = shown; k < c.op.shown().size(); ++k)
        if (c.op.shown()[k].caption == "Error")
            return kBadInput;
    // A load changes the status line only to warn about damaged records.
    for (std::size_t k = statuses; k < c.statuses.size(); ++k) {
        if (!c.options.json)
            std::fprintf(stderr, "%s\n", c.statuses[k].c_str());
        c.out.field("warning", json_quote(c.statuses[k]));
    }
    return apply_buffer_edits(c);
}

int load_file_to_program(CliContext& c, const std::string& path) {
    const int status = load_file(c, path);
    if (status != kSuccess || !image_is_blank(c.session.chip(), c.session.buffer))
        return status;
    if (!c.options.json)
        std::fprintf(stderr, "Warning: %s\n", kBlankImageWarning);
    c.out.field("blank_image_warning", json_quote(kBlankImageWarning));
    return status;
}

int chips_command(CliContext& c) {
    const std::vector<std::string>& chips = c.session.ComboBox1_items.get();
    for (const std::string& chip : chips)
        c.out.line(chip);
    c.out.field("family", json_quote(c.session.ComboBox2.get()));
    c.out.field("chips", json_strings(chips));
    return kSuccess;
}

int info_command(CliContext& c) {
    const auto fields = chip_fields(c.session.chip());
    print_fields(c, fields);
    c.out.field("chip", json_quote(c.session.ComboBox1.get()));
    c.out.field("params", json_object(fields));
    return kSuccess;
}

int checksum_command(CliContext& c) {
    if (const int status = load_file(c, c.options.args[0]); status != kSuccess)
        return status;
    const std::string& checksum = c.session.buffer.lab_checksum.get();
    c.out.line(checksum);
    const std::size_t value = checksum.find("0x");
    c.out.field("checksum",
                json_quote(value == std::string::npos ? checksum : checksum.substr(value)));
    return kSuccess;
}

int convert_command(CliContext& c) {
    if (const int status = load_file(c, c.options.args[0]); status != kSuccess)
        return status;
    c.session.save_command(c.options.args[1]);
    return c.op.error_shown() ? kFailed : kSuccess;
}

int dump_command(CliContext& c) {
    if (const int status = load_file(c, c.options.args[0]); status != kSuccess)
        return status;
    const Buffer& b = c.session.buffer;
    std::string rows = "[";
    for (int row = 0; row < b.row_count(); ++row) {
        const auto cells = grid_row(b, row);
        c.out.line(joined(cells, '\t'));
        if (c.out.json())
            rows += (row ? "," : "") + json_strings(cells);
    }
    const auto labels = label_values(b);
    print_fields(c, labels);
    c.out.field("rows", rows + "]");
    c.out.field("labels", json_object(labels));
    return kSuccess;
}

} // namespace zz::cli
