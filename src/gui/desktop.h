#pragma once

#include "base/operator.h"

#include <filesystem>
#include <string>

namespace zz {

// What the window asks of the desktop besides the operator's messages: the file dialogs of the
// Load and Save commands and the help viewer.
class Desktop : public Operator {
public:
    // The chosen file as a full path; empty when the dialog was cancelled.
    virtual std::string choose_load_file() = 0;
    virtual std::string choose_save_file() = 0;
    // The production log's CSV file, which is appended to (not replaced); empty when cancelled.
    virtual std::string choose_log_file() = 0;
    // Opens the manual with the desktop's viewer; nothing is reported when that fails.
    virtual void open_help(const std::filesystem::path& manual) = 0;
};

} // namespace zz
