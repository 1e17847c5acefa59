#include "dialogs/boards/boards_model.h"

#include <algorithm>

namespace zz {

namespace {

constexpr const char* kVirtualPrefix = "Virtual board ";

} // namespace

std::string virtual_board_name(int number) {
    return kVirtualPrefix + std::to_string(number);
}

bool is_virtual_board(const std::string& port) {
    return port.rfind(kVirtualPrefix, 0) == 0;
}

std::vector<std::string> stored_boards(const std::vector<std::string>& boards) {
    std::vector<std::string> real;
    std::copy_if(boards.begin(), boards.end(), std::back_inserter(real),
                 [](const std::string& port) { return !is_virtual_board(port); });
    return real;
}

BoardsModel::BoardsModel(std::vector<std::string> chosen, bool applies_at_once)
    : initial_(std::move(chosen)), applies_at_once_(applies_at_once) {
    for (const std::string& port : initial_)
        rows_.push_back(Row{port, false, false, true});
}

void BoardsModel::search_started() {
    searching_ = true;
    search_error_.clear();
}

namespace {

bool holds(const std::vector<std::string>& ports, const std::string& port) {
    return std::find(ports.begin(), ports.end(), port) != ports.end();
}

} // namespace

void BoardsModel::search_done(const std::vector<std::string>& searched,
                              const std::vector<std::string>& found) {
    searching_ = false;
    searched_ = true;
    for (Row& row : rows_) {
        row.searched = holds(searched, row.port);
        row.found = holds(found, row.port);
    }
    for (const std::string& port : found) {
        const bool known = std::any_of(rows_.begin(), rows_.end(),
                                       [&port](const Row& row) { return row.port == port; });
        if (!known)
            rows_.push_back(Row{port, true, true, true});
    }
}

void BoardsModel::search_failed(std::string why) {
    searching_ = false;
    search_error_ = std::move(why);
}

std::string BoardsModel::row_text(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return {};
    const Row& r = rows_[static_cast<std::size_t>(row)];
    if (r.found)
        return r.port + ": a board answered";
    return r.port + (r.searched ? ": no board answered" : ": chosen");
}

void BoardsModel::tick(int row, bool on) {
    if (row >= 0 && row < static_cast<int>(rows_.size()))
        rows_[static_cast<std::size_t>(row)].ticked = on;
}

std::vector<std::string> BoardsModel::chosen() const {
    std::vector<std::string> ports;
    for (const Row& row : rows_)
        if (row.ticked)
            ports.push_back(row.port);
    return ports;
}

std::string BoardsModel::status() const {
    std::string search;
    if (searching_)
        search = "Searching the serial ports for boards...";
    else if (!search_error_.empty())
        search = "The search failed: " + search_error_ + ".";
    else if (searched_) {
        const auto found = std::count_if(rows_.begin(), rows_.end(),
                                         [](const Row& row) { return row.found; });
        search = found ? "A board answered on " + std::to_string(found) +
                             (found == 1 ? " port." : " ports.")
                       : "No other board answered.";
    }
    const char* when = applies_at_once_
                           ? "Boards are added at once and taken away once they are idle."
                           : "The window drives two or more boards side by side from its next "
                             "start.";
    return search.empty() ? when : search + " " + when;
}

} // namespace zz
