#include "board_fixture.h"

namespace zz::test {
namespace {

// One step of a listed exchange: what the host sends and what the board must answer (the
// answer's start and its length in digits).
struct Step {
    std::string send;
    std::string reply_start;
    std::size_t reply_digits;
};

struct Listing {
    const char* name;
    ChipParams params;
    std::vector<Step> steps;
};

const Step kOpen{"04", "56", 2};
const Step kClose{"05", "76", 2};
const Step kInfo{"0D", "43", 54};
const Step kEnd{"01", "50", 2};

std::vector<Step> id_check(const ChipParams& p) {
    return {{setup_frame(p), "49", 2}, kOpen, kInfo, kClose};
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Listing read_pic() {
    const ChipParams p = pic14();
    return {"ReadPic", p,
            id_check(p) + std::vector<Step>{kOpen,
                                            kInfo,
                                            kClose,
                                            kOpen,
                                            {"0C", "FF", 512},
                                            kClose,
                                            kOpen,
                                            {"0B", "3FFF", 8192 * 4},
                                            kClose,
                                            kEnd}};
}

Listing read_eeprom() {
    const ChipParams p = serial_eeprom(false);
    return {"ReadSerialEeprom", p,
            id_check(p) + std::vector<Step>{kOpen, {"0B", "FF", 512}, kClose, kEnd}};
}

Listing erase_with_calibration() {
    const ChipParams p = pic14_bandgap();
    return {"EraseWithCalibration", p,
            id_check(p) + id_check(p) +
                std::vector<Step>{kOpen,
                                  kInfo,
                                  kClose,
                                  kOpen,
                                  {"0E", "59", 2},
                                  kClose,
                                  kOpen,
                                  {"0A348011FF", "59", 2},
                                  kClose,
                                  kOpen,
                                  kInfo,
                                  kClose,
                                  kOpen,
                                  {"0F3F", "42424259", 8},
                                  kClose,
                                  kOpen,
                                  {"10", "59", 2},
                                  kClose,
                                  kEnd}};
}

Listing program_sequence() {
    const ChipParams p = pic14();
    std::vector<Step> rom{kOpen, {"070040", "59", 2}};
    for (int b = 0; b < 4; ++b)
        rom.push_back({std::string(64, 'F'), b < 3 ? "59" : "50", 2});
    return {"ProgramSequence", p,
            id_check(p) +
                std::vector<Step>{kOpen,
                                  {"080002", "59", 2},
                                  {"1234", "50", 2},
                                  kClose,
                                  kOpen,
                                  {"0C", "1234FF", 512},
                                  kClose} +
                rom +
                std::vector<Step>{kClose,
                                  kOpen,
                                  {"0B", "3FFF", 8192 * 4},
                                  kClose,
                                  kOpen,
                                  {"093030", "", 0},
                                  {std::string(44, 'F'), "59", 2},
                                  kClose,
                                  kOpen,
                                  kInfo,
                                  kClose,
                                  kEnd}};
}

class ListedExchange : public BoardTest, public ::testing::WithParamInterface<Listing> {};

TEST_P(ListedExchange, BoardAnswersAsListed) {
    board.insert_chip(VirtualChip(GetParam().params, ChipFacts{0, 0x80, 1}));
    power_up();
    for (const Step& s : GetParam().steps) {
        const std::string reply = exchange(s.send, 1000);
        EXPECT_EQ(reply.size(), s.reply_digits) << s.send;
        EXPECT_EQ(reply.substr(0, s.reply_start.size()), s.reply_start) << s.send;
    }
}

INSTANTIATE_TEST_SUITE_P(Listings, ListedExchange,
                         ::testing::Values(read_pic(), read_eeprom(), erase_with_calibration(),
                                           program_sequence()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zz::test
