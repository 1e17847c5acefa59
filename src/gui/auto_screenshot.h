#pragma once

#include "app/session.h"

#include <QString>
#include <QStringList>
#include <QWidget>

namespace zz {

// For the documentation and for checking the production loop under a virtual X server: once the
// status line reads "Ready", arms Auto Program (its messages are dismissed) and starts it. When
// `run[0]` chips have passed, saves a picture of the running window to `path`, clicks Stop,
// prints the statistics, the status line and the button's caption on stderr, saves a picture of
// the stopped window to `run[1]` when given, and ends the program.
void save_auto_program_pictures(QWidget& window, Session& session, const QStringList& run,
                                const QString& path);

} // namespace zz
