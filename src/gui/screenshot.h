#pragma once

#include "app/session.h"

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>

namespace zz {

// For the documentation: once the status line reads "Ready" (or after 5 s), saves `picture()`
// (without one: a picture of `window`) to `path` and ends the program.
void save_picture_when_ready(QWidget& window, Session& session, const QString& path,
                             std::function<QPixmap()> picture = {});

} // namespace zz
