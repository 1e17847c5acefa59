#include "dialogs/chip_img/chip_position.h"

#include <array>

namespace zz {

namespace {

struct SocketImageEntry {
    int SocketImage;
    ChipPicture picture;
};

constexpr std::array<SocketImageEntry, 11> kSocketImages{{
    {8, {"img_8", 8, 13}},
    {14, {"img_14", 14, 13}},
    {18, {"img_18", 18, 2}},
    {20, {"img_20", 20, 11}},
    {28, {"img_28", 28, 1}},
    {40, {"img_40", 40, 1}},
    {811, {"Img_811", 8, 11}},
    {816, {"Img_816", 8, 16}},
    {821, {"img_821", 8, 21}},
    {836, {"Img_836", 8, 36}},
    {1411, {"Img_1411", 14, 11}},
}};

constexpr std::array<ChipPicture, 12> kPictures{
    kSocketImages[0].picture, kSocketImages[1].picture,  kSocketImages[2].picture,
    kSocketImages[3].picture, kSocketImages[4].picture,  kSocketImages[5].picture,
    kSocketImages[6].picture, kSocketImages[7].picture,  kSocketImages[8].picture,
    kSocketImages[9].picture, kSocketImages[10].picture, ChipPicture{"img_icsp", 0, 0},
};

constexpr std::size_t kTwentyPin = 3;

} // namespace

SocketHole socket_hole(int socket_pin) {
    if (socket_pin <= kSocketRows)
        return {SocketRow::right, kSocketRows - socket_pin};
    return {SocketRow::left, socket_pin - kSocketRows - 1};
}

std::span<const ChipPicture> chip_pictures() {
    return kPictures;
}

const ChipPicture& icsp_picture() {
    return kPictures.back();
}

const ChipPicture& socket_picture(int SocketImage) {
    for (std::size_t i = 0; i < kSocketImages.size(); ++i)
        if (kSocketImages[i].SocketImage == SocketImage)
            return kPictures[i];
    return kPictures[kTwentyPin];
}

int socket_pin_under(const ChipPicture& picture, int chip_pin) {
    const int half = picture.chip_pins / 2;
    if (chip_pin <= half)
        return picture.socket_pin_1 + chip_pin - 1;
    // The second half of the chip faces the first across the socket: pin p sits opposite pin
    // chip_pins + 1 - p, and socket pins s and 41 - s face each other.
    const int opposite = picture.socket_pin_1 + picture.chip_pins - chip_pin;
    return kSocketPins + 1 - opposite;
}

ChipPosition chip_position(const std::string& chip_name, const ChipParams& chip, bool icsp_mode) {
    if (chip.ICSPonly)
        return {"chip[" + chip_name + "] requires ICSP Mode", &icsp_picture()};
    if (icsp_mode)
        return {"chip[" + chip_name + "]in the ICSP Mode", &icsp_picture()};
    return {"chip[" + chip_name + "] Position:", &socket_picture(chip.SocketImage)};
}

} // namespace zz
