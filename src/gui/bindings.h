#pragma once

#include "base/observable.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QString>

#include <string>
#include <utility>

namespace zz {

// Shows a core value on a widget: applied now and on every change. The core outlives the window,
// so a change after the widget is gone is dropped.
template <class W, class T, class Apply> void bind(Value<T>& value, W* widget, Apply apply) {
    apply(widget, value.get());
    value.observe([guard = QPointer<W>(widget), apply](const T& now) {
        if (guard)
            apply(guard.data(), now);
    });
}

inline QString qt_text(const std::string& text) {
    return QString::fromStdString(text);
}

inline void bind_text(Value<std::string>& value, QLabel* label) {
    bind(value, label, [](QLabel* l, const std::string& text) { l->setText(qt_text(text)); });
}

template <class W> void bind_enabled(Value<bool>& value, W* widget) {
    bind(value, widget, [](W* w, bool on) { w->setEnabled(on); });
}

// A check mark (menu item or check box) that shows a Flag, checked and enabled.
template <class W> void bind_flag(Flag& flag, W* widget) {
    widget->setCheckable(true);
    bind(flag.checked, widget, [](W* w, bool on) { w->setChecked(on); });
    bind_enabled(flag.enabled, widget);
}

} // namespace zz
