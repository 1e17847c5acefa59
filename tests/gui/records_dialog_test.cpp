// "Production Records..." in the window: the chips of a run on the virtual board appear as they
// finish, the serial-number filter, the chart, a store that is lost while the view reads it, and
// numbers taken from the shared sequence that the Serial Number dialog chooses.
#include "records/records_env.h"
#include "gui/dialogs/inc_data_dialog.h"
#include "gui/dialogs/records_dialog.h"
#include "gui/dialogs/records_table_model.h"
#include "window_fixture.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <condition_variable>
#include <mutex>

namespace zz::test {
namespace {

using ::testing::HasSubstr;

// A database whose statements wait at a gate while it is held: a server that takes its time to
// answer, then is found gone (`down`).
class HeldBackend : public testing::FlakyBackend {
public:
    using FlakyBackend::FlakyBackend;
    using FlakyBackend::exec;

    SqlRows exec(std::string_view sql, const std::vector<SqlValue>& params) override {
        std::unique_lock lock(mutex_);
        waiting_ += held_;
        gate_.notify_all();
        gate_.wait(lock, [this] { return !held_; });
        lock.unlock();
        return FlakyBackend::exec(sql, params);
    }
    void hold() {
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    void release() {
        const std::lock_guard lock(mutex_);
        held_ = false;
        gate_.notify_all();
    }
    // Waits until a statement reached the held gate (the read runs on a thread of its own).
    void wait_for_statement() {
        std::unique_lock lock(mutex_);
        gate_.wait(lock, [this] { return waiting_ > 0; });
    }

private:
    std::mutex mutex_;
    std::condition_variable gate_;
    bool held_ = false;
    int waiting_ = 0;
};

class RecordsDialogTest : public WindowFixture {
protected:
    void SetUp() override {
        start();
        session->set_station(station.get());
        // The number's two words: 0005, the least significant, and 0000.
        session->buffer.set_cell_and_view(Area::rom, 0x10, "0005");
        session->buffer.set_cell_and_view(Area::rom, 0x11, "0000");
    }
    // The window waits for a read under way before it goes; the station goes after it.
    void TearDown() override {
        window.reset();
        session->set_station(nullptr);
    }

    RecordsDialog* dialog() const {
        return window->findChild<RecordsDialog*>(QStringLiteral("records_form"));
    }
    // Programs a fresh chip with the window's Program button.
    void program() {
        board.insert_chip(VirtualChip(session->chip()));
        click("Button9");
        loop.run_for(200);
    }
    // The reads run off the window's thread: their answers arrive as events.
    void wait_for_reads() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog()->view().reading(); }));
    }
    QString status_line() const {
        return dialog()->findChild<QLabel*>(QStringLiteral("Label1"))->text();
    }
    QString cell(int row, int column) const {
        return dialog()->table().index(row, column).data().toString();
    }

    testing::StoreEnv records;
    std::unique_ptr<Station> station = std::make_unique<Station>(records.open("bench-1"));
};

TEST_F(RecordsDialogTest, ChipsAppearAsTheyFinishAndTheFilterNarrowsThem) {
    click("N_records");
    ASSERT_NE(dialog(), nullptr);
    EXPECT_FALSE(dialog()->isModal());
    QAbstractItemModelTester tester(&dialog()->table(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    wait_for_reads();
    EXPECT_EQ(dialog()->table().rowCount(), 0);
    session->buffer.SerialNumberEnabled = true;
    session->serial_settings =
        SerialSettings{0x10, 0x11, 1, true, false, false, false, true, false};
    for (int n = 0; n < 3; ++n)
        program();
    wait_for_reads();
    ASSERT_EQ(dialog()->table().rowCount(), 3);
    EXPECT_EQ(cell(0, 4), "00000007"); // newest first: the buffer advanced after each pass
    EXPECT_EQ(cell(0, 5), "passed");
    EXPECT_EQ(cell(2, 1), "bench-1");
    EXPECT_EQ(status_line(), "3 chips shown; today 3 passed, 0 failed, yield 100.0 %");
    auto* filter = dialog()->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    QTest::keyClicks(filter, QStringLiteral("0000x0006")); // "x" is no hex digit
    EXPECT_EQ(filter->text(), "00000006");
    wait_for_reads();
    ASSERT_EQ(dialog()->table().rowCount(), 1);
    EXPECT_EQ(cell(0, 4), "00000006");
    EXPECT_FALSE(dialog()->grab().isNull()); // the chart paints
    click("N_records");                      // brings the open one forward
    EXPECT_EQ(window->findChildren<RecordsDialog*>().size(), 1);
}

// The store is lost while the view reads it: the window goes on meanwhile (the read waits on a
// thread of its own), and the view says why once the read gives up.
TEST_F(RecordsDialogTest, AStoreLostWhileTheViewReadsItBlocksNothingAndSaysWhy) {
    window.reset();
    session->set_station(nullptr);
    auto* held = new HeldBackend(open_backend(parse_store_uri(records.uri()), 5000));
    Station lost(std::make_unique<RecordsStore>(std::unique_ptr<RecordsBackend>(held),
                                                records.uri(), records.options()));
    window = std::make_unique<MainWindow>(*session, desktop, data_dir);
    session->set_station(&lost);
    held->hold();
    held->down = true;
    click("N_records"); // returns while the statement waits at the gate
    held->wait_for_statement();
    ASSERT_NE(dialog(), nullptr);
    EXPECT_TRUE(dialog()->view().reading());
    EXPECT_EQ(status_line(), "Reading the records database...");
    auto* filter = dialog()->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    QTest::keyClicks(filter, QStringLiteral("2a")); // the window takes keys meanwhile
    EXPECT_EQ(filter->text(), "2A");
    held->release();
    wait_for_reads();
    EXPECT_THAT(status_line().toStdString(), HasSubstr("The records database cannot be read: "));
    window.reset(); // before the station it reads
    session->set_station(nullptr);
}

TEST_F(RecordsDialogTest, TheSerialNumberDialogChoosesTheSharedSequence) {
    session->buffer.SerialNumberEnabled = true;
    click("N21");
    auto* numbers = window->findChild<IncDataDialog*>(QStringLiteral("inc_form"));
    ASSERT_NE(numbers, nullptr);
    const auto field = [&](const char* name) {
        return numbers->findChild<QLineEdit*>(QString::fromLatin1(name));
    };
    const auto press = [&](const char* name) {
        numbers->findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
    };
    EXPECT_FALSE(field("Edit4")->isEnabled());
    press("CheckBox5");
    EXPECT_TRUE(field("Edit4")->isEnabled());
    EXPECT_FALSE(numbers->findChild<QAbstractButton*>(QStringLiteral("CheckBox4"))->isEnabled());
    field("Edit1")->setText(QStringLiteral("0010"));
    field("Edit2")->setText(QStringLiteral("0011"));
    field("Edit3")->setText(QStringLiteral("01"));
    QTest::keyClicks(field("Edit4"), QStringLiteral("LINE"));
    press("Button1");
    EXPECT_TRUE(session->use_sequence.get());
    EXPECT_EQ(session->sequence_name.get(), "LINE");
    program();
    program();
    const std::vector<ChipRecord> records = station->store()->records({});
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].serial, "00000006"); // made from the buffer's number, 00000005
    EXPECT_EQ(records[1].sequence, "LINE");
    EXPECT_EQ(board.chip()->rom().at(0x10), 6);
}

} // namespace
} // namespace zz::test
