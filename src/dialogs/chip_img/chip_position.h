#pragma once

#include "device/chip_params.h"

#include <span>
#include <string>
#include <string_view>

namespace zz {

// The programmer's 40-pin socket seen from above, lever end at the bottom: socket pins 1 to 20
// run up the right-hand row from the bottom, 21 to 40 down the left-hand row from the top.
inline constexpr int kSocketPins = 40;
inline constexpr int kSocketRows = 20;

enum class SocketRow { left, right };

// Where a socket pin is: its row and its place in it, 0 at the top.
struct SocketHole {
    SocketRow row;
    int place;
};
SocketHole socket_hole(int socket_pin);

// One picture of the chip position viewer: a chip in the socket, or the ICSP connector.
struct ChipPicture {
    std::string_view name; // the picture's component name
    int chip_pins;         // 0: the ICSP connector
    int socket_pin_1;      // the socket pin under chip pin 1
};

// The eleven socket pictures by SocketImage value, then the ICSP picture.
std::span<const ChipPicture> chip_pictures();
const ChipPicture& icsp_picture();
// The picture of a SocketImage value; a value without one gets the 20-pin picture.
const ChipPicture& socket_picture(int SocketImage);

// The socket pin under `chip_pin` (1 .. chip_pins): a chip sits with its pin 1 on
// `socket_pin_1` and follows the socket's own numbering round both rows.
int socket_pin_under(const ChipPicture& picture, int chip_pin);

// What the viewer shows for the selected chip: the label text and exactly one picture.
struct ChipPosition {
    std::string Label1;
    const ChipPicture* picture;
};

// `chip_name` is the chip selector's text; `icsp_mode` the "&ICSP Mode" check mark.
ChipPosition chip_position(const std::string& chip_name, const ChipParams& chip, bool icsp_mode);

} // namespace zz
