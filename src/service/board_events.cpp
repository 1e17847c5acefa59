#include "service/board_events.h"

#include "link/link_texts.h"

#include <algorithm>

namespace zz::service {

namespace {

// "Writing program memory....." names the step "Writing program memory".
std::string step_name(std::string status) {
    while (!status.empty() && (status.back() == '.' || status.back() == ' '))
        status.pop_back();
    return status;
}

int percent(const BoardPanel& p) {
    if (p.progress_max <= 0)
        return 0;
    return std::clamp(100 * p.progress / p.progress_max, 0, 100);
}

} // namespace

BoardEvents::BoardEvents(int number, BoardPanel first)
    : number_(number), last_(std::move(first)), chips_at_begin_(last_.chips) {}

BoardNews BoardEvents::next(const BoardPanel& p) {
    BoardNews news;
    std::vector<json>& events = news.events;
    if (p.commands_begun > last_.commands_begun) {
        chips_at_begin_ = last_.chips;
        loop_ran_ = false;
        armed_ = true;
    }
    if (p.auto_running && !last_.auto_running) {
        loop_ran_ = true;
        events.push_back({{"event", "auto"}, {"board", number_}, {"on", true}});
    }
    if (!p.question.empty() && p.question != last_.question)
        events.push_back({{"event", "question"}, {"board", number_}, {"text", p.question}});
    if (p.phase == BoardPhase::working)
        step(p, events);
    // A program's result waits for the end of its command, when the board takes the next one.
    if (p.chips > last_.chips) {
        (loop_ran_ ? events : held_).push_back(result(p));
        chip_open_ = false;
        armed_ = loop_ran_; // the loop's next chip
    }
    if (!p.auto_running && last_.auto_running)
        events.push_back({{"event", "auto"}, {"board", number_}, {"on", false}});
    if (p.phase == BoardPhase::no_board && last_.phase != BoardPhase::no_board)
        events.push_back({{"event", "lost"},
                          {"board", number_},
                          {"message", "The board on " + p.port +
                                          " stopped answering: no more chips are taken from it"}});
    if (p.commands_ended > last_.commands_ended) {
        command_end(p, events);
        events.insert(events.end(), held_.begin(), held_.end());
        held_.clear();
        news.command_ended = true;
        chip_open_ = armed_ = false;
    }
    last_ = p;
    return news;
}

// The loop idles as "Ready" while busy: a chip starts with its first step.
void BoardEvents::step(const BoardPanel& p, std::vector<json>& events) {
    if (armed_ && p.status != texts::kReady) {
        armed_ = false;
        chip_open_ = true;
        step_name_.clear();
        step_percent_ = -1;
        events.push_back({{"event", "started"}, {"board", number_}});
    }
    std::string name = step_name(p.status);
    if (!chip_open_ || name.empty())
        return;
    // A new step starts at 0 %, whatever its forerunner left on the bar; within a step the
    // bar only grows (it is reset a moment after the step's text changes).
    const bool next_step = name != step_name_;
    const int now = next_step ? 0 : percent(p);
    if (!next_step && now <= step_percent_)
        return;
    step_name_ = std::move(name);
    step_percent_ = now;
    events.push_back({{"event", "step"}, {"board", number_}, {"name", step_name_},
                      {"percent", step_percent_}});
}

// A program that ended without a chip says why.
void BoardEvents::command_end(const BoardPanel& p, std::vector<json>& events) const {
    if (!loop_ran_ && held_.empty() && p.chips == chips_at_begin_)
        events.push_back(error_event(
            p.message.empty() ? "the board programmed no chip" : p.message, number_));
}

json BoardEvents::result(const BoardPanel& p) const {
    json event{{"event", "result"},
               {"board", number_},
               {"result", p.chip_passed ? "passed" : "failed"},
               {"serial", p.serial},
               {"message", p.chip_message},
               {"elapsed_ms", p.chip_elapsed_ms},
               {"record", nullptr}};
    if (!p.chip_record_id.empty())
        event["record"] = p.chip_record_id;
    return event;
}

} // namespace zz::service
