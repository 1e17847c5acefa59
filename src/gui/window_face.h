#pragma once

#include <QFont>
#include <QWidget>

namespace zz {

// The window's face: 8 point, narrowed where the desktop has a condensed face, so the captions
// fit the fixed layouts the way the classic 8 point dialog font does.
inline void use_window_face(QWidget* widget) {
    QFont face = widget->font();
    face.setPointSize(8);
    face.setStretch(QFont::SemiCondensed);
    widget->setFont(face);
}

} // namespace zz
