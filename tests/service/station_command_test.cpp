// `ze-zuzu-cli station` as a person starts it: the documented client programs a chip that is
// then on record, and SIGTERM lets the chip being programmed finish and be told first.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zz::test {
namespace {

using ::testing::HasSubstr;

// 16F84A: movlw 0x55, movwf 0x06 at 0.
constexpr const char* kImage = ":0400000055308600F1\n:00000001FF\n";

// Asks for board 2's chip and sends SIGTERM to the station once it has started; prints the
// events that follow until the station closes the connection.
constexpr const char* kStopMidChip = R"(
import json, os, signal, socket, sys
s = socket.socket(socket.AF_UNIX)
s.connect("station.sock")
s.settimeout(60)
events = s.makefile("r")
s.sendall(b'{"cmd":"program","board":2}\n')
for line in events:
    e = json.loads(line)
    if e["event"] == "started":
        os.kill(int(sys.argv[1]), signal.SIGTERM)
    if e["event"] != "step":
        print(e["event"], e.get("result", e.get("message", "")))
)";

TEST(StationCommandTest, TheClientProgramsAChipOnRecordAndSigtermLetsTheNextFinish) {
    ScratchDir dir("station");
    std::ofstream(dir / "image.hex") << kImage;
    std::ofstream(dir / "stop.py") << kStopMidChip;
    const std::string script =
        cli_command("--chip 16F84A --db sqlite:r.sqlite --sequence LINE --virtual-boards 2 "
                    "station --listen unix:station.sock image.hex") +
        " >station.out 2>station.err & st=$!; n=0; "
        "while ! grep -q Listening station.out && [ $n -lt 2000 ]; do sleep 0.01; n=$((n+1)); "
        "done; python3 '" ZZ_SOURCE_DIR "/docs/station_client.py' unix:station.sock --board 1; "
        "echo client $?; python3 stop.py $st || kill -TERM $st; wait $st; echo station $?; " +
        cli_command("--db sqlite:r.sqlite records");
    const RunResult r = run_shell(dir, "(cd '" + dir.path().string() + "' || exit 1; " + script + ")");
    const std::string err = r.err + read_text(dir / "station.err");
    EXPECT_THAT(r.out, HasSubstr("  Programming ROM ")) << err;
    ASSERT_THAT(r.out, HasSubstr("passed, serial number ")) << err;
    const std::string serial = r.out.substr(r.out.find("serial number ") + 14, 4);
    EXPECT_THAT(r.out, HasSubstr("client 0\nstarted \nresult passed\nstation 0\n")) << err;
    EXPECT_THAT(r.out, HasSubstr("\t" + serial + "\t")) << "the client's chip on record";
    EXPECT_THAT(read_text(dir / "station.out"), HasSubstr("Summary: 2 passed, 0 failed"));
}

// Sends each request and prints the first event that is not a step, then ends the station.
constexpr const char* kJobChange = R"(
import json, os, signal, socket, sys
s = socket.socket(socket.AF_UNIX)
s.connect("station.sock")
s.settimeout(60)
events = s.makefile("r")
for request in sys.argv[2:]:
    s.sendall(request.encode() + b"\n")
    for line in events:
        e = json.loads(line)
        if e["event"] not in ("step", "started"):
            print(e["event"], e.get("job", e.get("result", e.get("message", ""))))
            break
os.kill(int(sys.argv[1]), signal.SIGTERM)
)";

TEST(StationCommandTest, AClientSetsTheReleasedJobEveryBoardRunsWhereTheStationAllowsIt) {
    ScratchDir dir("station-job");
    std::ofstream(dir / "image.hex") << kImage;
    std::ofstream(dir / "job.py") << kJobChange;
    const std::string db = "--db sqlite:r.sqlite ";
    const std::string script =
        cli_command(db + "job create line.zzjob --image image.hex --chip 16F84A --quantity 5") +
        " >/dev/null && " + cli_command(db + "job release line.zzjob") + " >/dev/null && " +
        cli_command(db + "--chip 16F84A --virtual-boards 2 station --allow-job-change --listen "
                         "unix:station.sock image.hex") +
        " >station.out 2>station.err & st=$!; n=0; "
        "while ! grep -q Listening station.out && [ $n -lt 2000 ]; do sleep 0.01; n=$((n+1)); "
        "done; python3 job.py $st '{\"cmd\":\"job\",\"name\":\"nosuch\"}' "
        "'{\"cmd\":\"job\",\"name\":\"line\"}' '{\"cmd\":\"hello\"}' "
        "'{\"cmd\":\"program\",\"board\":2}'; wait $st; " +
        cli_command(db + "records --job line");
    const RunResult r = run_shell(dir, "(cd '" + dir.path().string() + "' || exit 1; " + script + ")");
    const std::string err = r.err + read_text(dir / "station.err");
    EXPECT_THAT(r.out, HasSubstr("error job: ")) << err; // the unknown job, named
    EXPECT_THAT(r.out, HasSubstr("nosuch")) << err;
    EXPECT_THAT(r.out, HasSubstr("job line@1\nhello line@1\nresult passed\n")) << err;
    EXPECT_THAT(r.out, HasSubstr("\tjob line@1")) << "the chip on record against the job";
    EXPECT_THAT(r.out, HasSubstr("Virtual board 2")) << err;
}

} // namespace
} // namespace zz::test
