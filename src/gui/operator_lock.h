#pragma once

#include "base/observable.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

class QActionGroup;
class QMenu;
class QMenuBar;

namespace zz {

// Operator mode on the window's controls. While locked, every control that is not live in
// operator mode is disabled; its own enabled state, which the core keeps and the window's
// bindings show, goes on changing underneath and is what the control shows again once unlocked.
class OperatorLock : public QObject {
public:
    explicit OperatorLock(QObject* parent);

    // Every item of the menus and of their submenus. Qt keeps an item's own state under a
    // disabled group, so the items' bindings need nothing more.
    void add_menus(QMenuBar* bar);
    // A button, check box or list whose own enabled state is `own` (null: always usable). Added
    // after the control's own binding, the lock has the last word whenever `own` changes.
    void add_widget(QWidget* widget, Value<bool>* own);
    void set_locked(bool locked);

private:
    struct Control {
        QPointer<QWidget> widget;
        Value<bool>* own;
    };
    void add_menu(QMenu* menu);
    void apply(const Control& control) const;

    QActionGroup* group_;
    std::vector<Control> widgets_;
    bool locked_ = false;
};

} // namespace zz
