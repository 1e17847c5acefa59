#pragma once

#include "dialogs/chip_img/chip_position.h"

#include <QPixmap>

namespace zz {

// The pictures of the chip position viewer, drawn at run time so the program ships no image
// files for them: the 40-pin socket from above, lever at the bottom, with the chip where it must
// sit, its pin-1 mark and the socket pin under chip pin 1; or the six lines of the ICSP
// connector.
inline constexpr int kChipPictureWidth = 115;
inline constexpr int kChipPictureHeight = 260;

QPixmap draw_chip_picture(const ChipPicture& picture);

} // namespace zz
