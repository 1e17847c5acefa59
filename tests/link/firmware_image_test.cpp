#include "link/firmware_image.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace zz::test {
namespace {

using ::testing::HasSubstr;

// A data line of eight words w, w+1, ... as the file holds them (low byte first).
std::string data_line(int w) {
    std::string line = ":";
    for (int k = 0; k < 8; ++k) {
        char pair[5];
        std::snprintf(pair, sizeof pair, "%02X%02X", (w + k) & 0xFF, ((w + k) >> 8) & 0xFF);
        line += pair;
    }
    return line;
}

std::string image_of_lines(int count) {
    std::string text = "V2.40\n";
    for (int i = 0; i < count; ++i)
        text += data_line(8 * i) + "\n";
    return text;
}

struct ImageCase {
    const char* what;
    std::string text;
    int data_lines;
    std::string first_words; // the image text's beginning
};

TEST(FirmwareImage, DataLinesAndWhatEndsThem) {
    const std::string one = data_line(0x1234);
    const ImageCase cases[] = {
        {"words swap their bytes", "#1.0\n" + one + "\n", 1, "123412351236"},
        {"digits after the 32nd are ignored", "V1\n" + one + "FFFF;x\n", 1, "1234"},
        {"lower-case digits", "V1\n" + std::string(":3412") + std::string(28, 'a') + "\n", 1,
         "1234AAAA"},
        {"empty lines are skipped", "V1\n\n" + one + "\r\n\r\n" + one + "\n", 2, "1234"},
        {"a line starting with ; ends the data", "V1\n" + one + "\n;" + one + "\n" + one, 1, ""},
        {"the end line ends the data", "V1\n" + one + "\n:00000001FF\n" + one + "\n", 1, ""},
        {"CR LF lines", "V1\r\n" + one + "\r\n" + one + "\r\n", 2, "1234"},
        {"768 lines at most", image_of_lines(768) + ":xx\n", 768, "000000010002"},
    };
    for (const ImageCase& c : cases) {
        SCOPED_TRACE(c.what);
        const FirmwareImageRead read = parse_firmware_image(c.text, "up.hex");
        ASSERT_TRUE(read.image) << read.error;
        EXPECT_EQ(read.image->data_lines, c.data_lines);
        EXPECT_EQ(read.image->words.size(), static_cast<std::size_t>(c.data_lines) * 32);
        EXPECT_TRUE(read.image->words.starts_with(c.first_words)) << read.image->words;
    }
}

TEST(FirmwareImage, VersionLineLosesItsFirstCharacterAndTheFullImageHas24576Digits) {
    const FirmwareImageRead read =
        parse_firmware_image("V2.40 RO\r\n" + image_of_lines(800).substr(6), "x");
    ASSERT_TRUE(read.image);
    EXPECT_EQ(read.image->version, "2.40 RO");
    EXPECT_EQ(read.image->words.size(), 24576u);
    EXPECT_TRUE(read.image->words.ends_with("17FF")); // word 6143; the 769th line is ignored
}

TEST(FirmwareImage, ImagesThatWouldWriteUnknownFirmwareAreRefused) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "The firmware image up.hex is empty"},
        {"V1\n", "The firmware image up.hex holds no data lines"},
        {"V1\n;comment\n" + data_line(0), "The firmware image up.hex holds no data lines"},
        {"V1\n" + data_line(0) + "\n:1234\n",
         "The firmware image up.hex, line 3: a data line needs 32 hex digits after its colon"},
        {"V1\n:" + std::string(31, '0') + "G\n",
         "The firmware image up.hex, line 2: a data line needs 32 hex digits after its colon"},
    };
    for (const auto& [text, error] : cases) {
        const FirmwareImageRead read = parse_firmware_image(text, "up.hex");
        EXPECT_FALSE(read.image) << text;
        EXPECT_EQ(read.error, error);
    }
}

TEST(FirmwareImage, MissingAndUnreadableFilesSayWhatWasLookedFor) {
    const auto dir = std::filesystem::path(ZZ_BINARY_DIR) / "firmware-image-test";
    std::filesystem::create_directories(dir / "up320.hex");
    EXPECT_EQ(read_firmware_image(dir / "up330.hex").error,
              "The firmware image up330.hex was not found in " + dir.string());
    EXPECT_THAT(read_firmware_image(dir / "up320.hex").error, HasSubstr("cannot be read"));
    std::ofstream(dir / "up300.hex") << image_of_lines(2);
    EXPECT_EQ(read_firmware_image(dir / "up300.hex").image->data_lines, 2);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace zz::test
