#pragma once

#include "app/session.h"

#include <QString>
#include <QWidget>

namespace zz {

// For the documentation: once the status line reads "Ready" (or after 5 s), saves a picture of
// `window` to `path` and ends the program.
void save_picture_when_ready(QWidget& window, Session& session, const QString& path);

// The same for a dialog: once ready, clicks the menu item or button named `opener` and saves a
// picture of the modal dialog or message it opens.
void save_dialog_picture_when_ready(QWidget& window, Session& session, const QString& opener,
                                    const QString& path);

} // namespace zz
