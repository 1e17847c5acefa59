#include "app/settings_file.h"
#include "modal_dialog.h"
#include "window_fixture.h"

#include <QCheckBox>
#include <QTest>

namespace zz::test {
namespace {

class WindowStateTest : public WindowFixture {
protected:
    void SetUp() override { start(); }

    // Enabled state of a menu item, button or label by component name.
    bool enabled(const char* name) const {
        if (QAction* a = action(name))
            return a->isEnabled();
        return widget(name)->isEnabled();
    }
    bool checked(const char* name) const {
        if (QAction* a = action(name))
            return a->isChecked();
        return button(name)->isChecked();
    }
};

TEST_F(WindowStateTest, StartsWithTheDesignStateAndReachesReady) {
    EXPECT_EQ(window->windowTitle().toStdString(), "ZE-ZUZU V2.37  ");
    EXPECT_EQ(status(), "Ready");
    EXPECT_EQ(label("Label5")->text(), "Virtual board");
    EXPECT_EQ(window->findChild<QComboBox*>("ComboBox1")->currentText(), "16F877A");
    EXPECT_EQ(window->findChild<QComboBox*>("ComboBox2")->currentText(), "All Chip");
    for (const char* on : {"N31", "n_calchip", "n36", "CheckBox_blank", "CheckBox_erase",
                           "CheckBox_wr_ee", "CheckBox_wr_rom", "CheckBox_wr_id", "N_TYPE_330"})
        EXPECT_TRUE(checked(on)) << on;
    for (const char* off : {"UseVPPFirstProgramEntry1", "N33", "N_chip_not", "N32", "N_ICSP",
                            "N_calfile", "N35", "N_autoprog", "N18", "N_TYPE_310"})
        EXPECT_FALSE(checked(off)) << off;
    EXPECT_EQ(label("lab_pass")->text(), "Pass:0000");
    EXPECT_EQ(label("lab_checksum")->text().toStdString(), session->buffer.lab_checksum.get());
}

struct Expect {
    const char* name;
    bool enabled;
    int checked; // -1: no check mark
};

struct ChipCase {
    const char* family;
    const char* chip;
    std::vector<Expect> expect;
};

TEST_F(WindowStateTest, ControlsFollowTheChipType) {
    const ChipCase cases[] = {
        {"PIC 12bit MCU",
         "16F57",
         {{"CheckBox_blank", true, 1},
          {"CheckBox_erase", true, 1},
          {"CheckBox_wr_ee", false, 0},
          {"CheckBox_wr_id", true, 1},
          {"EEPROM1", false, -1},
          {"ID1", true, -1},
          {"lab_fuse1", true, -1},
          {"lab_fuse2", false, -1},
          {"lab_cal", false, -1},
          {"lab_band", false, -1},
          {"SpeedButton4", true, -1},
          {"N10", true, -1}}},
        {"PIC 14bit MCU",
         "12F629",
         {{"CheckBox_wr_ee", true, 1},
          {"EEPROM1", true, -1},
          {"lab_cal", true, -1},
          {"lab_band", true, -1},
          {"lab_fuse2", false, -1},
          {"lab_id1", true, -1}}},
        {"PIC 16bit MCU",
         "18F452",
         {{"lab_fuse1", true, -1},
          {"lab_fuse7", true, -1},
          {"lab_cal", false, -1},
          {"CheckBox_wr_id", true, 1},
          {"SpeedButton7", true, -1}}},
        {"I2C/SPI EEPROM",
         "24xx01",
         {{"CheckBox_blank", false, 0},
          {"CheckBox_erase", false, 0},
          {"CheckBox_wr_ee", false, 0},
          {"CheckBox_wr_rom", true, 1},
          {"CheckBox_wr_id", false, 0},
          {"SpeedButton4", false, -1},
          {"SpeedButton5", false, -1},
          {"SpeedButton7", false, -1},
          {"N10", false, -1},
          {"N11", false, -1},
          {"N14", false, -1},
          {"EEPROM1", false, -1},
          {"ID1", false, -1},
          {"lab_fuse", false, -1},
          {"lab_fuse1", false, -1},
          {"lab_id1", false, -1},
          {"Label17", false, -1}}},
    };
    for (const ChipCase& c : cases) {
        SCOPED_TRACE(c.chip);
        choose("ComboBox2", c.family);
        choose("ComboBox1", c.chip);
        ASSERT_EQ(session->chip().ROMsize,
                  ChipDatabase(kDataDir).load(3, c.chip, ChipParams{}).ROMsize);
        for (const Expect& e : c.expect) {
            EXPECT_EQ(enabled(e.name), e.enabled) << e.name;
            if (e.checked >= 0) {
                EXPECT_EQ(checked(e.name), e.checked == 1) << e.name;
            }
        }
        EXPECT_EQ(window->grid_model().rowCount(), session->grid.get().row_count);
    }
}

TEST_F(WindowStateTest, IcspModeIsRefusedForASerialEeprom) {
    choose("ComboBox2", "I2C/SPI EEPROM");
    click("N_ICSP");
    EXPECT_FALSE(checked("N_ICSP"));
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0], "Then chip not icsp mode");
    EXPECT_EQ(desktop.captions[0], "Information");
}

TEST_F(WindowStateTest, IcspModeSwitchesOnAndOffForAPic) {
    EXPECT_EQ(with_modal_dialog([this] { click("N_ICSP"); }).name, "chip_form");
    EXPECT_TRUE(checked("N_ICSP"));
    click("N_ICSP");
    EXPECT_FALSE(checked("N_ICSP"));
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(WindowStateTest, TogglesInvertTheirOwnMarkOnly) {
    for (const char* name : {"N31", "UseVPPFirstProgramEntry1", "N33", "N32", "N35", "n36",
                             "CheckBox_blank", "CheckBox_wr_rom"}) {
        SCOPED_TRACE(name);
        const bool before = checked(name);
        click(name);
        EXPECT_EQ(checked(name), !before);
        click(name);
        EXPECT_EQ(checked(name), before);
    }
}

TEST_F(WindowStateTest, CalibrationSourcesExcludeEachOther) {
    click("N_calfile");
    EXPECT_TRUE(checked("N_calfile"));
    EXPECT_FALSE(checked("n_calchip"));
    click("N_calfile"); // choosing the ticked one keeps it
    EXPECT_TRUE(checked("N_calfile"));
    click("n_calchip");
    EXPECT_TRUE(checked("n_calchip"));
    EXPECT_FALSE(checked("N_calfile"));
}

TEST_F(WindowStateTest, FixedSizeAndMaximiseIgnored) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(window->centralWidget()->size(),
              QSize(MainWindow::kClientWidth, MainWindow::kClientHeight));
    const QSize before = window->size();
    window->showMaximized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isMaximized());
    EXPECT_EQ(window->size(), before);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
}

TEST(WindowSettings, MuteIsSavedAtExitAndClosingRequestsTheEnd) {
    const std::filesystem::path folder = std::filesystem::path(ZZ_BINARY_DIR) / "gui-test-settings";
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / kSettingsFileName;
    std::filesystem::remove(file);
    struct Run : WindowFixture {
        void TestBody() override {}
        void run(const std::filesystem::path& settings) {
            start(settings);
            click("N31");
            window->close();
            session->shutdown();
        }
    } run;
    run.run(file);
    const AppSettings saved = load_settings(file);
    EXPECT_FALSE(saved.mute);
    EXPECT_TRUE(run.session->CloseRequested);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace zz::test
