#include "modal_dialog.h"
#include "sim/firmware_version.h"
#include "window_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <fstream>

namespace zz::test {
namespace {

class SmallDialogsTest : public WindowFixture {
protected:
    // The names of the dialog's pictures that are visible.
    static QStringList visible_pictures(QDialog& dialog) {
        QStringList names;
        for (auto* label : dialog.findChildren<QLabel*>())
            if (label->objectName().startsWith("img_", Qt::CaseInsensitive) && label->isVisible())
                names << label->objectName();
        return names;
    }
};

TEST_F(SmallDialogsTest, ChipPositionShowsOnePictureOnSelectionAndFromItsItem) {
    start();
    click("N_TYPE_320"); // models 1 and 2 show the position when a chip is chosen
    loop.run_for(500);
    QString label;
    QStringList pictures;
    const auto look = [&](QDialog& d) {
        label = d.findChild<QLabel*>("Label1")->text();
        pictures = visible_pictures(d);
    };
    EXPECT_EQ(with_modal_dialog([this] { choose("ComboBox1", "12F629"); }, look).name, "chip_form");
    EXPECT_EQ(label, "chip[12F629] Position:");
    EXPECT_EQ(pictures, QStringList{"img_8"});
    EXPECT_EQ(with_modal_dialog([this] { click("N22"); }, look).name, "chip_form");
    EXPECT_EQ(pictures, QStringList{"img_8"});

    click("N_chip_not"); // "Do not show chip position in chip selector"
    EXPECT_EQ(with_modal_dialog([this] { choose("ComboBox1", "16F877A"); }).name, "");
    EXPECT_EQ(session->chip().SocketImage, 40);
    with_modal_dialog([this] { click("N_ICSP"); }, look);
    EXPECT_EQ(label, "chip[16F877A]in the ICSP Mode");
    EXPECT_EQ(pictures, QStringList{"img_icsp"});
}

TEST_F(SmallDialogsTest, StatisticRefusesLettersAndSetsTheCountersOnOk) {
    start();
    session->statistics.lab_error = "Fail:0003";
    with_modal_dialog([this] { click("Button8"); },
                      [&](QDialog& d) {
                          auto* target = d.findChild<QLineEdit*>("Edit1");
                          auto* pass = d.findChild<QLineEdit*>("Edit2");
                          EXPECT_EQ(target->text(), "");
                          QTest::keyClicks(target, "2x5");
                          EXPECT_EQ(target->text(), "25");
                          EXPECT_EQ(desktop.messages,
                                    std::vector<std::string>{"Can only import number 0-9"});
                          QTest::keyClicks(pass, "123456");
                          EXPECT_EQ(pass->text(), "1234");
                          d.findChild<QPushButton*>("Button1")->click();
                      });
    EXPECT_EQ(label("Lab_aim")->text(), "Target:0025");
    EXPECT_EQ(label("lab_pass")->text(), "Pass:1234");
    EXPECT_EQ(label("lab_error")->text(), "Fail:0003");

    with_modal_dialog([this] { click("Button8"); },
                      [](QDialog& d) {
                          QTest::keyClicks(d.findChild<QLineEdit*>("Edit1"), "7");
                          d.findChild<QPushButton*>("Button2")->click(); // Cancel
                      });
    EXPECT_EQ(label("Lab_aim")->text(), "Target:0025");
}

TEST_F(SmallDialogsTest, AboutBoxShowsTheNameAndItsOwnPicture) {
    start();
    with_modal_dialog([this] { click("N25"); },
                      [](QDialog& d) {
                          auto* name = d.findChild<QLabel*>("ProductName");
                          EXPECT_EQ(name->text(), "ZE-ZUZU PIC PROGRAMMER");
                          EXPECT_TRUE(name->font().bold());
                          EXPECT_EQ(name->palette().color(QPalette::WindowText), QColor(0, 0, 128));
                          EXPECT_EQ(d.findChild<QLabel*>("Version")->text(), "Version 2.37");
        EXPECT_FALSE(d.findChild<QLabel*>("ProgramIcon")->pixmap().isNull());
                          EXPECT_TRUE(d.findChild<QPushButton*>("OKButton")->isDefault());
                      });
}

TEST_F(SmallDialogsTest, FirmwareUpgradeAsksWithTheImagesVersion) {
    // A data folder of its own: the chip databases and a generated image.
    data_dir = std::filesystem::path(ZZ_BINARY_DIR) / "gui-firmware-data";
    std::filesystem::remove_all(data_dir);
    std::filesystem::create_directories(data_dir);
    for (const auto& entry : std::filesystem::directory_iterator(kDataDir))
        std::filesystem::create_symlink(entry.path(), data_dir / entry.path().filename());
    std::ofstream(data_dir / "up330.hex")
        << firmware_image_file_text("2.40", generated_firmware("V2.40", 64));
    start();
    board.clear_trace();
    click("N23");
    EXPECT_EQ(desktop.messages,
              std::vector<std::string>{"You whether want upgrade hardware go V2.40"});
    for (const std::string& command : board.commands())
        EXPECT_NE(command, "55"); // answered No
    EXPECT_EQ(status(), "Ready");

    click("N_TYPE_310"); // model 1 has no firmware upgrade
    EXPECT_FALSE(action("N23")->isEnabled());
    std::filesystem::remove_all(data_dir);
}

} // namespace
} // namespace zz::test
