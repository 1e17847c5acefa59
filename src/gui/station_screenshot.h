#pragma once

#include <QString>
#include <QStringList>

namespace zz {

class StationWindow;

// For the documentation and for checking the line under a virtual X server. Once every board is
// ready: without `run`, pictures the station view into `path`; with `run[0]` = CHIPS, starts Auto
// Program on every board, pictures the window once each board has passed CHIPS chips, stops every
// board, prints the status line on stderr, and once every board is idle ends the program.
void save_station_pictures(StationWindow& window, const QStringList& run, const QString& path);

} // namespace zz
