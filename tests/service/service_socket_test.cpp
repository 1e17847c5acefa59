// The service over its sockets, with virtual boards: clients that program side by side, one
// that leaves mid-chip, bad lines, and the token on TCP.
#include "service_rig.h"

#include <gmock/gmock.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>

namespace zz::service::testing {
namespace {

using ::testing::HasSubstr;

std::vector<std::string> names(const std::vector<json>& events) {
    std::vector<std::string> out;
    for (const json& e : events)
        out.push_back(e["event"]);
    return out;
}

class ServiceTest : public ServiceRig {
protected:
    void listen_unix() { service->listen("unix:" + socket_path()); }
};

TEST_F(ServiceTest, HelloListsTheBoardsAndProgramGivesItsChipsRecord) {
    start();
    listen_unix();
    Client c = connect();
    c.request({{"cmd", "hello"}});
    const json hello = c.next().value();
    EXPECT_EQ(hello["protocol"], kProtocolVersion);
    ASSERT_EQ(hello["boards"].size(), 2u);
    EXPECT_EQ(hello["boards"][1]["port"], "Virtual board 2");
    EXPECT_EQ(hello["boards"][0]["model"], "RO-ZUZ330");
    EXPECT_FALSE(hello["boards"][0]["firmware"].get<std::string>().empty());

    c.request({{"cmd", "program"}, {"board", 1}});
    const std::vector<json> events = c.until("result");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front()["event"], "started");
    EXPECT_THAT(names(events), ::testing::Contains("step"));
    const json& result = events.back();
    EXPECT_EQ(result["result"], "passed");
    EXPECT_EQ(result["board"], 1);
    c.request({{"cmd", "record"}, {"id", result["record"]}});
    const json record = c.next().value();
    EXPECT_EQ(record["record"]["serial"], result["serial"]);
    EXPECT_EQ(record["record"]["port"], "Virtual board 1");
    EXPECT_EQ(record["record"]["result"], "passed");
}

// Each client hears of its own commands; a subscriber hears everything of its board.
TEST_F(ServiceTest, TwoClientsEachGetTheirOwnResults) {
    start({false, true});
    listen_unix();
    Client a = connect(), b = connect(), watcher = connect();
    watcher.request({{"cmd", "subscribe"}, {"board", 2}});
    ASSERT_EQ(watcher.next().value()["event"], "subscribed");
    a.request({{"cmd", "program"}, {"board", 1}});
    b.request({{"cmd", "program"}, {"board", 2}});
    const std::vector<json> of_a = a.until("result"), of_b = b.until("result");
    ASSERT_FALSE(of_a.empty());
    ASSERT_FALSE(of_b.empty());
    for (const json& e : of_a)
        EXPECT_EQ(e["board"], 1) << e;
    for (const json& e : of_b)
        EXPECT_EQ(e["board"], 2) << e;
    EXPECT_EQ(of_a.back()["result"], "passed");
    EXPECT_EQ(of_b.back()["result"], "failed");
    EXPECT_THAT(of_b.back()["message"].get<std::string>(), HasSubstr("0x0010"));
    const std::vector<json> watched = watcher.until("result");
    ASSERT_FALSE(watched.empty());
    EXPECT_EQ(watched.back()["record"], of_b.back()["record"]);
}

TEST_F(ServiceTest, AChipWhoseClientLeftIsFinishedAndOnRecord) {
    start();
    listen_unix();
    Client watcher = connect();
    watcher.request({{"cmd", "subscribe"}, {"board", 1}});
    ASSERT_EQ(watcher.next().value()["event"], "subscribed");
    {
        Client leaving = connect();
        leaving.request({{"cmd", "program"}, {"board", 1}});
        ASSERT_FALSE(leaving.until("started").empty());
    }
    const std::vector<json> events = watcher.until("result");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back()["result"], "passed");
    watcher.request({{"cmd", "records"}});
    const json records = watcher.next().value();
    ASSERT_EQ(records["event"], "records");
    ASSERT_EQ(records["records"].size(), 1u);
    EXPECT_EQ(records["records"][0]["id"], events.back()["record"]);
    // The board takes the next chip: its command ended with the chip, not with the client.
    watcher.request({{"cmd", "program"}, {"board", 1}});
    EXPECT_FALSE(watcher.until("result").empty());
}

// A board that stops answering while it writes: its client hears why, the other board goes on.
TEST_F(ServiceTest, ABoardLostMidChipIsReportedAndTheOtherGoesOn) {
    setup_board = [](int n, VirtualBoard& board) {
        if (n == 1)
            board.add_fault(Fault::silent(fault_target::kRomBlock, 2));
    };
    start();
    listen_unix();
    Client lost = connect(), other = connect();
    lost.request({{"cmd", "program"}, {"board", 1}});
    other.request({{"cmd", "program"}, {"board", 2}});
    const std::vector<json> of_other = other.until("result");
    ASSERT_FALSE(of_other.empty());
    EXPECT_EQ(of_other.back()["result"], "passed");
    const std::vector<json> of_lost = lost.until("result");
    ASSERT_FALSE(of_lost.empty());
    EXPECT_EQ(of_lost.back()["result"], "failed");
    EXPECT_THAT(of_lost.back()["message"].get<std::string>(), HasSubstr("Receive data error"));
    other.request({{"cmd", "status"}});
    EXPECT_EQ(other.next().value()["boards"][1]["passed"], 1);
}

struct BadLine {
    const char* name;
    std::string line;
    const char* error; // in the error event's message
};

TEST_F(ServiceTest, EveryBadLineGetsItsErrorAndTheConnectionGoesOn) {
    start();
    listen_unix();
    const BadLine cases[] = {
        {"too long", "{\"cmd\":\"hello\",\"x\":\"" + std::string(70 * 1024, 'x') + "\"}",
         "longer than 65536 bytes"},
        {"malformed", "{\"cmd\":\"hello\"", "malformed JSON"},
        {"no object", "[1,2]", "a request is a JSON object"},
        {"no cmd", "{\"board\":1}", "names its command"},
        {"unknown command", "{\"cmd\":\"fly\"}", "unknown command \"fly\""},
        {"no such board", "{\"cmd\":\"program\",\"board\":3}", "there is no board 3"},
        {"board missing", "{\"cmd\":\"program\"}", "\"board\" is missing"},
        {"board not a number", "{\"cmd\":\"stop\",\"board\":\"1\"}", "board number from 1"},
        {"auto without on", "{\"cmd\":\"auto\",\"board\":1}", "\"on\" is missing"},
        {"job not allowed", "{\"cmd\":\"job\",\"name\":\"X\"}", "not started to allow"},
        {"record unknown", "{\"cmd\":\"record\",\"id\":\"nope\"}", "no record nope"},
        {"answer without question", "{\"cmd\":\"answer\",\"board\":1,\"yes\":true}",
         "asks no question"},
    };
    Client c = connect();
    for (const BadLine& bad : cases) {
        c.send(bad.line + "\n");
        const json e = c.next().value_or(json::object());
        EXPECT_EQ(e.value("event", ""), "error") << bad.name;
        EXPECT_THAT(e.value("message", ""), HasSubstr(bad.error)) << bad.name;
    }
    // A busy board: the second program of one write finds the first one's chip.
    c.send("{\"cmd\":\"program\",\"board\":2}\n{\"cmd\":\"program\",\"board\":2}\n");
    const std::vector<json> events = c.until("result");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front()["event"], "error");
    EXPECT_THAT(events.front()["message"].get<std::string>(), HasSubstr("takes no chip now"));
    c.request({{"cmd", "status"}});
    const json status = c.next().value();
    EXPECT_EQ(status["boards"][1]["passed"], 1);
    service->refuse_chips(); // stopping
    c.request({{"cmd", "auto"}, {"board", 1}, {"on", true}});
    EXPECT_THAT(c.next().value()["message"].get<std::string>(), HasSubstr("station is stopping"));
}

TEST_F(ServiceTest, TheTokenGuardsTcp) {
    start({}, "s3cret");
    service->listen("tcp:127.0.0.1:0");
    const std::string address = service->address();
    const int port = std::stoi(address.substr(address.rfind(':') + 1));
    const auto tcp_client = [port] {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        return Client(fd);
    };
    const struct {
        const char* name;
        json first;
        bool admitted;
    } cases[] = {
        {"right token", {{"cmd", "hello"}, {"token", "s3cret"}}, true},
        {"wrong token", {{"cmd", "hello"}, {"token", "s3cre"}}, false},
        {"no token", {{"cmd", "hello"}}, false},
    };
    for (const auto& c : cases) {
        Client client = tcp_client();
        client.request(c.first);
        const json e = client.next().value_or(json::object());
        EXPECT_EQ(e.value("event", ""), c.admitted ? "hello" : "error") << c.name;
        if (!c.admitted) {
            EXPECT_FALSE(client.next()) << c.name << ": the connection is closed";
        }
    }
    const std::lock_guard lock(log_mutex);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& l) {
                                return l.find("wrong or missing token") != std::string::npos;
                            }),
              2);
}

TEST_F(ServiceTest, AnAddressBeyondThisComputerNeedsAToken) {
    start();
    EXPECT_THROW(service->listen("tcp:0.0.0.0:0"), ServiceError);
    EXPECT_THROW(service->listen("udp:1"), ServiceError);
    service->listen("tcp::0"); // loopback
    EXPECT_THAT(service->address(), HasSubstr("tcp:127.0.0.1:"));
}

} // namespace
} // namespace zz::service::testing
