#include "gui/operator_lock.h"

#include "dialogs/job/operator_mode.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace zz {

namespace {

bool live(const QObject* control) {
    return live_in_operator_mode(control->objectName().toStdString());
}

} // namespace

OperatorLock::OperatorLock(QObject* parent) : QObject(parent), group_(new QActionGroup(this)) {
    // Not a choice of one: the group only gates its items.
    group_->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
}

void OperatorLock::add_menus(QMenuBar* bar) {
    for (QAction* action : bar->actions())
        if (QMenu* menu = action->menu())
            add_menu(menu);
}

void OperatorLock::add_menu(QMenu* menu) {
    if (!live(menu->menuAction()))
        group_->addAction(menu->menuAction());
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        if (QMenu* submenu = action->menu())
            add_menu(submenu);
        else if (!live(action))
            group_->addAction(action);
    }
}

void OperatorLock::add_widget(QWidget* widget, Value<bool>* own) {
    if (live(widget))
        return;
    widgets_.push_back({widget, own});
    if (!own)
        return;
    own->observe([guard = QPointer<OperatorLock>(this), index = widgets_.size() - 1](bool) {
        if (guard)
            guard->apply(guard->widgets_[index]);
    });
}

void OperatorLock::set_locked(bool locked) {
    locked_ = locked;
    group_->setEnabled(!locked);
    for (const Control& control : widgets_)
        apply(control);
}

void OperatorLock::apply(const Control& control) const {
    if (control.widget)
        control.widget->setEnabled(!locked_ && (!control.own || control.own->get()));
}

} // namespace zz
