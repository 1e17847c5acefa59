// The production station on virtual boards and virtual time: numbers from the store's sequence,
// every chip on record, several boards on their own threads, and a store that goes away.
#include "base/sha256.h"
#include "base/hex_text.h"
#include "device/chip_database.h"
#include "files/hex_export.h"
#include "records/records_env.h"
#include "session_env.h"
#include "sim/socket_operator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace zz {
namespace {

using ::testing::HasSubstr;

const std::filesystem::path kData = ZZ_SOURCE_DIR "/data";
// Words 0x10 (least significant) and 0x11 of a 16F877A, Hex, step 1.
const SerialSettings kWords{0x10, 0x11, 1, true, false, false, false, true, false};

// An image whose number is 00000005.
std::filesystem::path write_image(const testing::TempFolder& folder) {
    const ChipParams chip = ChipDatabase(kData).load(3, "16F877A", ChipParams{});
    Buffer image;
    image.clrbuffer(chip);
    image.set_cell_and_view(Area::rom, 0x10, "0005");
    image.set_cell_and_view(Area::rom, 0x11, "0000");
    const auto file = folder.path() / "image.hex";
    export_hex_file(chip, image, file);
    return file;
}

// One board of the station: its session on a virtual board and a virtual clock, ready, with
// the image loaded and numbering as `plan` says.
struct Board {
    Board(Station& station, const std::filesystem::path& image, const StationPlan& plan,
          std::string name = "Virtual board")
        : session{[&] {
              parts.port.set_name(name);
              return parts.env(kData);
          }()} {
        session.startup();
        parts.loop.run_for(500);
        session.load_command(image.string());
        station.serve(session, plan);
    }
    // Programs a fresh chip; `weak` fails it.
    void program(bool weak = false) {
        VirtualChip chip(session.chip());
        if (weak)
            chip.set_weak_cell(0x10);
        parts.board.insert_chip(std::move(chip));
        session.program_command();
        parts.loop.run_for(200);
    }
    int word(std::size_t address) { return parts.board.chip()->rom().at(address); }

    test::SessionParts parts;
    Session session;
};

class StationTest : public ::testing::Test {
protected:
    std::unique_ptr<Station> open_station(std::string name = "bench-1") {
        return std::make_unique<Station>(store.open(std::move(name)));
    }
    StationPlan plan(std::string sequence = "LINE") {
        return StationPlan{true, kWords, std::move(sequence), nullptr};
    }

    testing::StoreEnv store;
    std::filesystem::path image = write_image(store.folder);
};

TEST_F(StationTest, NumbersComeFromTheSequenceAndEveryChipIsOnRecord) {
    auto station = open_station();
    Board b(*station, image, plan());
    b.parts.board.set_version_text("V3.30");
    b.session.hardware_version_command();
    b.parts.loop.run_for(200);
    const std::string before = sha256_of_file(image);
    std::vector<int> programmed;
    for (bool weak : {false, true, false}) {
        b.program(weak);
        programmed.push_back(b.word(0x10));
    }
    EXPECT_EQ(programmed, (std::vector<int>{5, 0x3FFF, 7})); // the weak word never takes 6
    EXPECT_EQ(sha256_of_file(image), before);                // the image file is left alone
    EXPECT_EQ(b.session.buffer.cell(Area::rom, 0x10), "0007");

    const std::vector<ChipRecord> records = station->store()->records({});
    ASSERT_EQ(records.size(), 3u);
    const ChipResult results[] = {ChipResult::passed, ChipResult::failed, ChipResult::passed};
    for (std::size_t k = 0; k < records.size(); ++k) {
        const ChipRecord& r = records[k];
        EXPECT_EQ(std::tie(r.serial, r.sequence, r.result, r.station, r.port, r.firmware,
                           r.device_id, r.image_sha256, r.chip),
                  std::tuple("0000000" + std::to_string(5 + k), "LINE", results[k], "bench-1",
                             "Virtual board", "V3.30", "200E", before, "16F877A"));
    }
    EXPECT_THAT(records[1].message, HasSubstr("at address 0x0010"));
    const StationBoard tally = station->board("Virtual board");
    EXPECT_EQ(std::pair(tally.passed, tally.failed), std::pair(2, 1));
    EXPECT_EQ(b.session.chips_recorded.get(), 3);
}

TEST_F(StationTest, BoardsOnTheirOwnThreadsShareOneSequence) {
    auto station = open_station();
    const std::vector<std::string> ports{"Virtual board 1", "Virtual board 2", "Virtual board 3"};
    // Each board brings its own line (SessionParts): the station's is not needed.
    station->set_board_factory([](const std::string&) { return BoardLine{}; });
    const int status = station->run_boards(ports, [&](StationBoard& board, BoardLine&) {
        Board b(*station, image, plan(), board.port);
        for (int n = 0; n < 4; ++n)
            b.program();
        return board.port == ports[1] ? 1 : 0;
    });
    EXPECT_EQ(status, 1); // the worst of the boards'
    std::set<std::string> serials;
    for (const ChipRecord& r : station->store()->records({.sequence = "LINE"}))
        serials.insert(r.serial);
    std::set<std::string> expected;
    for (int n = 5; n < 17; ++n)
        expected.insert(to_hex(static_cast<std::uint32_t>(n), 8));
    EXPECT_EQ(serials, expected);
    for (const StationBoard& board : station->boards())
        EXPECT_EQ(board.passed, 4) << board.port;
}

// A list's values land in the serial cells in order; one that does not fit is refused before
// the run, or with its chip when it comes up; when none is left, the station stops.
TEST_F(StationTest, ListValuesFitTheCellsOrAreRefused) {
    auto station = open_station();
    station->store()->create_list_sequence("MAC", {"00000101", "0202", "00000303"});
    Board b(*station, image, plan("MAC"));
    EXPECT_EQ(station->sequence_refused(plan("MAC"), b.session.chip(), b.session.buffer), "");
    b.program();
    EXPECT_EQ(std::pair(b.word(0x11), b.word(0x10)), std::pair(0, 0x101));
    EXPECT_THAT(station->sequence_refused(plan("MAC"), b.session.chip(), b.session.buffer),
                HasSubstr("The value 0202 of the sequence \"MAC\" does not fit the serial cells"));
    b.parts.op.messages.clear();
    b.program();
    EXPECT_EQ(b.word(0x10), 0x3FFF); // not programmed
    EXPECT_THAT(b.parts.op.texts(), ::testing::Contains(HasSubstr("does not fit")));
    b.program();
    EXPECT_EQ(b.word(0x10), 0x303);
    b.parts.op.messages.clear();
    b.program();
    EXPECT_TRUE(station->stopping());
    EXPECT_THAT(b.parts.op.texts(), ::testing::Contains(HasSubstr("has no values left")));
    const std::vector<ChipRecord> records = station->store()->records({.sequence = "MAC"});
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].serial, "0202");
    EXPECT_EQ(records[1].result, ChipResult::failed);
    EXPECT_EQ(station->store()->records({}).back().serial, ""); // the chip that got none
}

// The store goes away while the loop programs its second chip: that chip's record waits in the
// spool, the loop ends once the chip is out, no chip is taken while the store stays away, and
// the record is handed over once it is back.
TEST_F(StationTest, AStoreLostMidRunStopsAfterTheCurrentChipAndLosesNothing) {
    auto* flaky = new testing::FlakyBackend(open_backend(parse_store_uri(store.uri()), 5000));
    auto station = std::make_unique<Station>(std::make_unique<RecordsStore>(
        std::unique_ptr<RecordsBackend>(flaky), store.uri(), store.options()));
    Board b(*station, image, plan(""));
    SocketOperator person(b.parts.board, {300, 200}, [&] { return VirtualChip(b.session.chip()); });
    int finished = 0;
    // Told once each chip is kept: the store goes away after the first.
    b.session.chip_finished = [&](const ChipRecord&) {
        if (++finished == 1)
            flaky->down = true;
    };
    const AutoProgramResult result = b.session.auto_program_command();
    EXPECT_TRUE(result.started);
    EXPECT_EQ(finished, 2);
    EXPECT_TRUE(station->stopping());
    EXPECT_THAT(b.parts.op.texts(), ::testing::Contains(HasSubstr("cannot be reached")));
    b.parts.op.messages.clear();
    b.session.program_command();
    EXPECT_EQ(finished, 2);
    EXPECT_THAT(b.parts.op.texts(), ::testing::ElementsAre(HasSubstr("cannot be reached")));
    flaky->down = false;
    EXPECT_TRUE(station->resume());
    EXPECT_EQ(station->store()->records({}).size(), 2u);
}

} // namespace
} // namespace zz
