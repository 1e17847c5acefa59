#include "dialogs/chip_img/chip_position.h"

#include <gtest/gtest.h>

#include <vector>

namespace zz::test {
namespace {

struct PictureCase {
    int SocketImage;
    const char* picture;
    // The socket pins under chip pins 1, 2, ... of the chip.
    std::vector<int> socket_pins;
};

TEST(ChipPosition, EachSocketImageShowsItsChipWhereItSits) {
    const PictureCase cases[] = {
        {8, "img_8", {13, 14, 15, 16, 25, 26, 27, 28}},
        {14, "img_14", {13, 14, 15, 16, 17, 18, 19, 22, 23, 24, 25, 26, 27, 28}},
        {18, "img_18", {2, 3, 4, 5, 6, 7, 8, 9, 10, 31, 32, 33, 34, 35, 36, 37, 38, 39}},
        {20, "img_20", {11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                        21, 22, 23, 24, 25, 26, 27, 28, 29, 30}},
        {811, "Img_811", {11, 12, 13, 14, 27, 28, 29, 30}},
        {816, "Img_816", {16, 17, 18, 19, 22, 23, 24, 25}},
        {821, "img_821", {21, 22, 23, 24, 17, 18, 19, 20}},
        // Pin 1 in the left-hand row: the chip turned round, its other half in the right row.
        {836, "Img_836", {36, 37, 38, 39, 2, 3, 4, 5}},
        {1411, "Img_1411", {11, 12, 13, 14, 15, 16, 17, 24, 25, 26, 27, 28, 29, 30}},
    };
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.SocketImage);
        const ChipPicture& p = socket_picture(c.SocketImage);
        EXPECT_EQ(p.name, c.picture);
        ASSERT_EQ(p.chip_pins, static_cast<int>(c.socket_pins.size()));
        for (int pin = 1; pin <= p.chip_pins; ++pin)
            EXPECT_EQ(socket_pin_under(p, pin), c.socket_pins[pin - 1]) << "chip pin " << pin;
    }
    for (int image : {28, 40}) {
        const ChipPicture& p = socket_picture(image);
        EXPECT_EQ(p.chip_pins, image);
        EXPECT_EQ(socket_pin_under(p, 1), 1);
        EXPECT_EQ(socket_pin_under(p, image), 40);
    }
}

TEST(ChipPosition, SocketNumberingRunsUpTheRightAndDownTheLeft) {
    EXPECT_EQ(socket_hole(1).row, SocketRow::right);
    EXPECT_EQ(socket_hole(1).place, 19); // bottom, at the lever
    EXPECT_EQ(socket_hole(20).place, 0);
    EXPECT_EQ(socket_hole(21).row, SocketRow::left);
    EXPECT_EQ(socket_hole(21).place, 0);
    EXPECT_EQ(socket_hole(40).place, 19);
    EXPECT_EQ(socket_hole(36).row, SocketRow::left);
}

TEST(ChipPosition, ValueWithoutAPictureGetsTheTwentyPinOne) {
    for (int image : {0, 9, 2020, -1})
        EXPECT_EQ(socket_picture(image).name, "img_20") << image;
}

TEST(ChipPosition, LabelAndPictureByIcspOnlyAndIcspMode) {
    ChipParams chip;
    chip.SocketImage = 836;
    struct Case {
        bool ICSPonly;
        bool icsp_mode;
        const char* label;
        const char* picture;
    };
    const Case cases[] = {
        {false, false, "chip[12F629] Position:", "Img_836"},
        {false, true, "chip[12F629]in the ICSP Mode", "img_icsp"},
        {true, false, "chip[12F629] requires ICSP Mode", "img_icsp"},
        {true, true, "chip[12F629] requires ICSP Mode", "img_icsp"},
    };
    for (const Case& c : cases) {
        chip.ICSPonly = c.ICSPonly;
        const ChipPosition position = chip_position("12F629", chip, c.icsp_mode);
        EXPECT_EQ(position.Label1, c.label);
        EXPECT_EQ(position.picture->name, c.picture);
    }
}

} // namespace
} // namespace zz::test
