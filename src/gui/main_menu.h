#pragma once

#include <QMenuBar>

namespace zz {

// Fills the menu bar with the four menus, their items and submenus. Every menu, submenu, item and
// separator carries its component name as object name; items get their shortcuts. Check marks
// and commands are attached by the window.
void build_main_menu(QMenuBar* bar);
// The station view's menus: File (Load, Exit), Program (Program, Auto Program and Stop All, each
// for every board), Option (Boards..., Production Records...) and Help, named as the main menu's.
void build_station_menu(QMenuBar* bar);

} // namespace zz
