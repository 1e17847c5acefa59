#pragma once

#include "app/session.h"

#include <QString>
#include <QStringList>
#include <QWidget>

namespace zz {

// For the documentation: once the status line reads "Ready" (or after 5 s), clicks the button or
// menu item `clicks[0]` of `window`, which opens a modal dialog, then the dialog's buttons
// `clicks[1...]`, saves a picture of the dialog to `path`, closes it and ends the program.
void save_dialog_picture_when_ready(QWidget& window, Session& session, const QStringList& clicks,
                                    const QString& path);

} // namespace zz
