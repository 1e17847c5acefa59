// A board's panels, one after another, into the events its clients read.
#include "service/board_events.h"

#include <gtest/gtest.h>

#include <functional>

namespace zz::service {
namespace {

using Change = std::function<void(BoardPanel&)>;

// The events of each change, named "event" or "event:detail", applied one after another.
std::vector<std::string> told(const std::vector<Change>& changes, bool* ended = nullptr) {
    BoardPanel panel;
    panel.port = "P";
    panel.phase = BoardPhase::ready;
    BoardEvents events(1, panel);
    std::vector<std::string> out;
    for (const Change& change : changes) {
        change(panel);
        const BoardNews news = events.next(panel);
        if (ended)
            *ended = news.command_ended;
        for (const json& e : news.events) {
            std::string text = e["event"];
            if (text == "step")
                text += ":" + e["name"].get<std::string>() + " " + std::to_string(e["percent"].get<int>());
            else if (text == "result")
                text += ":" + e["result"].get<std::string>() + " " + e["serial"].get<std::string>();
            else if (text == "auto")
                text += e["on"].get<bool>() ? ":on" : ":off";
            else if (text == "error" || text == "lost")
                text += ":" + e["message"].get<std::string>();
            out.push_back(text);
        }
    }
    return out;
}

const Change kBegin = [](BoardPanel& p) { ++p.commands_begun; };
const Change kEnd = [](BoardPanel& p) {
    ++p.commands_ended;
    p.busy = false;
    p.phase = BoardPhase::ready;
};
Change working(const char* status, int progress) {
    return [=](BoardPanel& p) {
        p.busy = true;
        p.phase = BoardPhase::working;
        p.status = status;
        p.progress = progress;
    };
}
const Change kPassed = [](BoardPanel& p) {
    ++p.chips;
    p.chip_passed = true;
    p.serial = "0000002A";
};

TEST(BoardEvents, AChipTellsItsStartStepsAndResult) {
    const struct {
        const char* name;
        std::vector<Change> changes;
        std::vector<std::string> events;
    } cases[] = {
        {"one chip",
         {kBegin, working("Erasing...", 0), working("Writing program memory.....", 32),
          working("Writing program memory......", 0), working("Writing program memory", 16),
          working("Writing program memory", 8), kPassed, kEnd},
         {"started", "step:Erasing 0", "step:Writing program memory 0",
          "step:Writing program memory 50", "result:passed 0000002A"}},
        {"no chip: the reason",
         {kBegin, [](BoardPanel& p) { p.message = "Error: no chip in the socket"; }, kEnd},
         {"error:Error: no chip in the socket"}},
        {"a question", {kBegin, [](BoardPanel& p) { p.question = "Program it anyway?"; }},
         {"question"}},
        {"the loop: idle, a chip, the next chip, stopped",
         {kBegin, [](BoardPanel& p) { p.auto_running = true; }, working("Ready", 0),
          working("Verifying", 0), working("Verifying", 8), kPassed, working("Ready", 0),
          working("Erasing", 0), kPassed, working("Ready", 0),
          [](BoardPanel& p) { p.auto_running = false; }, kEnd},
         {"auto:on", "started", "step:Verifying 0", "step:Verifying 25", "result:passed 0000002A",
          "started", "step:Erasing 0", "result:passed 0000002A", "auto:off"}},
        {"lost",
         {kBegin, working("Writing", 1), [](BoardPanel& p) { p.phase = BoardPhase::no_board; }},
         {"started", "step:Writing 0",
          "lost:The board on P stopped answering: no more chips are taken from it"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(told(c.changes), c.events) << c.name;
}

TEST(BoardEvents, TheNextChipStartsAfresh) {
    bool ended = false;
    EXPECT_EQ(told({kBegin, working("Writing", 32), kPassed, kEnd, kBegin, working("Writing", 32)},
                   &ended),
              (std::vector<std::string>{"started", "step:Writing 0", "step:Writing 100",
                                        "result:passed 0000002A", "started", "step:Writing 0"}));
    EXPECT_FALSE(ended);
    told({kBegin, kEnd}, &ended);
    EXPECT_TRUE(ended);
}

} // namespace
} // namespace zz::service
