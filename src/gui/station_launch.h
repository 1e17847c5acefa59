#pragma once
// The station view and everything it runs on: the station, its records store kept within reach
// by a StoreKeeper, the lines to its boards (serial ports, or virtual boards with a chip in the
// socket and a person at it) and the window.
#include "app/settings_file.h"
#include "app/station.h"
#include "app/store_keeper.h"
#include "dialogs/boards/station_start.h"
#include "dialogs/job/operator_mode.h"
#include "gui/desktop.h"
#include "gui/station_window.h"
#include "sim/socket_operator.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace zz {

struct StationLaunchSetup {
    std::filesystem::path data_dir;
    std::filesystem::path settings_file; // empty: settings neither read nor kept
    AppSettings settings;
    StationStart start;
    std::optional<OperatorTimes> person; // at each virtual board's socket
    JobStart job;                        // the job every board runs; none: the settings'
};

// The programmer model of the virtual boards: the settings', as the one-board window's.
int virtual_model(const AppSettings& settings);

// How every board numbers and records its chips, from the settings: numbering only where the
// boards cannot take one number twice (a shared sequence, or the number saved in the image).
// `note` says why numbering is off when it had to be turned off.
StationPlan station_plan(const AppSettings& settings, const ChipParams& chip, std::string& note);

// The lines of the station's boards: a serial port each, or on the virtual station the virtual
// board of `model` in real time with a blank `chip` in its socket and the `person` at it.
BoardFactory station_lines(bool virtual_boards, int model, const ChipParams& chip,
                           const std::optional<OperatorTimes>& person);

// The boards start once the station knows what they run: at once, or with a job once it is read
// from the records store (a job that cannot be opened is said once, and the boards run the
// settings as the one-board window does).
class StationLaunch {
public:
    StationLaunch(const StationLaunchSetup& setup, Desktop& desktop);
    ~StationLaunch();

    Station& station() { return *station_; }
    StationWindow& window() { return *window_; }
    StoreKeeper& keeper() { return *keeper_; }

private:
    void store_changed();
    void open_job();
    void job_opened(std::shared_ptr<const RunningJob> job, const std::string& why);
    void start_boards();

    StationLaunchSetup setup_;
    Desktop& desktop_;
    bool job_pending_ = false;
    std::unique_ptr<Station> station_;
    std::unique_ptr<StationWindow> window_;
    std::unique_ptr<StoreKeeper> keeper_; // last: it ends before the window it tells
};

} // namespace zz
