// ze-zuzu-cli: the programmer's commands for scripts and production lines.
#include "cli/cli_app.h"
#include "cli/cli_context.h"
#include "cli/info_options.h"

#include <cstdio>
#include <exception>

int main(int argc, char* argv[]) {
    using namespace zz::cli;
    try {
        const CliOptions options = parse_options(std::vector<std::string>(argv + 1, argv + argc));
        if (asks_program_info(options)) {
            std::printf("%s", program_info_text(options).c_str());
            return kSuccess;
        }
        return run_cli(options);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "ze-zuzu-cli: %s\nTry 'ze-zuzu-cli --help'.\n", e.what());
        return kBadInput;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Error: %s\n", e.what());
        return kFailed;
    }
}
