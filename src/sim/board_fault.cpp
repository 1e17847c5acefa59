#include "sim/board_fault.h"

namespace zz {

Fault Fault::silent(int command, int occurrence) {
    return Fault{Kind::Silent, command, occurrence, {}, {}, {}, 0};
}

Fault Fault::reply(int command, std::vector<std::uint8_t> bytes, int occurrence) {
    return Fault{Kind::Replace, command, occurrence, std::move(bytes), {}, {}, 0};
}

Fault Fault::split(int command, std::vector<int> sizes, std::vector<int> gaps_ms, int occurrence) {
    return Fault{Kind::Split, command, occurrence, {}, std::move(sizes), std::move(gaps_ms), 0};
}

Fault Fault::extra(int command, std::vector<std::uint8_t> bytes, int occurrence) {
    return Fault{Kind::Extra, command, occurrence, std::move(bytes), {}, {}, 0};
}

Fault Fault::delay(int command, int delay_ms, int occurrence) {
    return Fault{Kind::Delay, command, occurrence, {}, {}, {}, delay_ms};
}

void FaultList::add(Fault fault) {
    faults_.push_back(Entry{std::move(fault), 0});
}

namespace {

void apply(const Fault& f, AnswerShape& shape) {
    switch (f.kind) {
    case Fault::Kind::Silent:
        shape.silent = true;
        break;
    case Fault::Kind::Replace:
        shape.replaced = true;
        shape.replacement = f.bytes;
        break;
    case Fault::Kind::Split:
        shape.sizes = f.sizes;
        shape.gaps_ms = f.gaps_ms;
        break;
    case Fault::Kind::Extra:
        shape.extra.insert(shape.extra.end(), f.bytes.begin(), f.bytes.end());
        break;
    case Fault::Kind::Delay:
        shape.delay_ms += f.delay_ms;
        break;
    case Fault::Kind::Restart:
        shape.restart_ms = f.delay_ms;
        break;
    }
}

} // namespace

Fault Fault::restart(int command, int delay_ms, int occurrence) {
    return Fault{Kind::Restart, command, occurrence, {}, {}, {}, delay_ms};
}

AnswerShape FaultList::on_command(int command) {
    AnswerShape shape;
    for (Entry& e : faults_) {
        if (e.fault.command != command)
            continue;
        ++e.seen;
        if (e.fault.occurrence == 0 || e.fault.occurrence == e.seen)
            apply(e.fault, shape);
    }
    return shape;
}

} // namespace zz
