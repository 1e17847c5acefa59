#pragma once

#include <QIcon>

namespace zz {

// The pictures of the eight toolbar buttons, left to right.
enum class ToolIcon { Load, Save, EditBuffer, Erase, BlankCheck, Program, Verify, Read };

// Drawn at start-up, so the program ships no image files for them.
QIcon toolbar_icon(ToolIcon icon);

} // namespace zz
