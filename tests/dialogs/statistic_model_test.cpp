#include "base/virtual_loop.h"
#include "dialogs/progname/statistic_model.h"
#include "support/recording_operator.h"

#include <gtest/gtest.h>

namespace zz::test {
namespace {

class StatisticModelTest : public ::testing::Test {
protected:
    VirtualLoop loop;
    RecordingOperator op{loop};
    ChipState statistics;
    StatisticModel model{statistics, op};
};

TEST_F(StatisticModelTest, DigitsAndBackspacePassEverythingElseIsRefusedWithTheMessage) {
    for (char key : std::string("0123456789\b"))
        EXPECT_TRUE(model.key_press(key)) << int(key);
    EXPECT_TRUE(op.messages.empty());
    for (char key : std::string("a-+ .\x16\r")) {
        SCOPED_TRACE(int(key));
        op.messages.clear();
        EXPECT_FALSE(model.key_press(key));
        ASSERT_EQ(op.messages.size(), 1u);
        EXPECT_EQ(op.messages[0].text, "Can only import number 0-9");
        EXPECT_EQ(op.messages[0].icon, Icon::None);
    }
}

TEST_F(StatisticModelTest, OkPadsBothCountersToFourDigitsAndLeavesFailAlone) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"", "", "Target:0000", "Pass:0000"},
        {"25", "3", "Target:0025", "Pass:0003"},
        {"9999", "0100", "Target:9999", "Pass:0100"},
    };
    statistics.lab_error = "Fail:0007";
    for (const auto& [target, pass, aim, passed] : cases) {
        model.Edit1 = target;
        model.Edit2 = pass;
        EXPECT_TRUE(model.ok());
        EXPECT_EQ(statistics.Lab_aim.get(), aim);
        EXPECT_EQ(statistics.lab_pass.get(), passed);
        EXPECT_EQ(statistics.lab_error.get(), "Fail:0007");
    }
}

TEST_F(StatisticModelTest, NothingChangesBeforeOkOrWithTextThatIsNotFourDigits) {
    model.Edit1 = "12";
    EXPECT_EQ(statistics.Lab_aim.get(), "Target:9999");
    for (const char* bad : {"12a", "12345", " 1"}) {
        EXPECT_FALSE(StatisticModel::acceptable(bad)) << bad;
        model.Edit2 = bad;
        EXPECT_FALSE(model.ok());
        EXPECT_EQ(statistics.Lab_aim.get(), "Target:9999");
        EXPECT_EQ(statistics.lab_pass.get(), "Pass:0000");
    }
    EXPECT_TRUE(StatisticModel::acceptable(""));
    EXPECT_TRUE(StatisticModel::acceptable("0042"));
}

} // namespace
} // namespace zz::test
