#include "cli/info_options.h"

#include "base/version.h"
#include "device/chip_family.h"

#include <sstream>

namespace zz::cli {

namespace {

std::string joined_lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::vector<std::string> command_lines() {
    std::vector<std::string> lines;
    for (const CommandInfo& command : command_table())
        lines.push_back(std::string(command.name) + " " + std::to_string(command.arg_count));
    return lines;
}

std::vector<std::string> family_lines() {
    std::vector<std::string> lines;
    for (const ChipFamily& family : kChipFamilies)
        lines.emplace_back(family.text);
    return lines;
}

// "  --yes | --no         text" -> "--yes", "--no"; the option part ends at a run of two blanks.
void add_line_options(const std::string& line, std::vector<std::string>& options) {
    const std::size_t start = line.find_first_not_of(' ');
    const std::size_t end = line.find("  ", start);
    std::string spec = line.substr(start, end == std::string::npos ? end : end - start);
    for (std::size_t bar; (bar = spec.find(" | ")) != std::string::npos; spec.erase(0, bar + 3))
        options.push_back(spec.substr(0, bar));
    options.push_back(spec);
}

} // namespace

bool parse_info_option(const std::string& name, OptionArg&, CliOptions& o) {
    if (name == "--help" || name == "-h")
        o.help = true;
    else if (name == "--version")
        o.info.version = true;
    else if (name == "--list-options")
        o.info.list = "options";
    else if (name == "--list-commands")
        o.info.list = "commands";
    else if (name == "--list-families")
        o.info.list = "families";
    else
        return false;
    return true;
}

const char kInfoHelp[] = R"(  --version            print the program's name and version
  --help | -h          print this text
)";

bool asks_program_info(const CliOptions& o) {
    return o.help || o.info.version || !o.info.list.empty();
}

std::string program_info_text(const CliOptions& o) {
    if (o.help)
        return usage_text();
    if (o.info.version)
        return "ze-zuzu-cli " ZZ_VERSION "\n";
    if (o.info.list == "options")
        return joined_lines(listed_options(usage_text()));
    if (o.info.list == "commands")
        return joined_lines(command_lines());
    return joined_lines(family_lines());
}

std::vector<std::string> listed_options(const std::string& usage) {
    std::vector<std::string> options;
    std::istringstream lines(usage);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("  -"))
            add_line_options(line, options);
    return options;
}

} // namespace zz::cli
