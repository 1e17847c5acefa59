#pragma once

#include "base/observable.h"
#include "device/buffer.h"
#include "device/chip_params.h"

#include <functional>

namespace zz {

// The edit-buffer button and menu item: shows the buffer edit dialog (`show_dialog` returns when
// it has closed), then takes over the images an OK left and recomputes the checksum, by either
// button. Does nothing while `Busy` is set.
void edit_buffer_command(const Value<bool>& Busy, const ChipParams& chip, Buffer& buffer,
                         const std::function<void()>& show_dialog);

// What follows the dialog's closing: the images OK left move into the buffer, and the checksum.
void take_edited_images(const ChipParams& chip, Buffer& buffer);

} // namespace zz
