// Request lines into commands and their arguments.
#include "service/request.h"

#include <gtest/gtest.h>

namespace zz::service {
namespace {

TEST(Request, ArgumentsAreTakenBesideTheCommand) {
    const struct {
        const char* line;
        Command command;
        std::optional<int> board;
        bool on;
        std::optional<std::int64_t> since_ms;
        const char* since_id;
    } cases[] = {
        {R"({"cmd":"hello","token":"t"})", Command::hello, {}, false, {}, ""},
        {R"({"cmd":"program","board":2})", Command::program, 2, false, {}, ""},
        {R"({"cmd":"auto","board":1,"on":true})", Command::auto_mode, 1, true, {}, ""},
        {R"({"cmd":"auto","board":1,"on":false})", Command::auto_mode, 1, false, {}, ""},
        {R"({"cmd":"answer","board":3,"yes":true})", Command::answer, 3, true, {}, ""},
        {R"({"cmd":"subscribe"})", Command::subscribe, {}, false, {}, ""},
        {R"({"cmd":"records","since":1700000000000})", Command::records, {}, false,
         1700000000000, ""},
        {R"({"cmd":"records","since":"r-17"})", Command::records, {}, false, {}, "r-17"},
    };
    for (const auto& c : cases) {
        const Parsed parsed = parse_request(c.line);
        ASSERT_TRUE(std::holds_alternative<Request>(parsed)) << c.line;
        const Request& r = std::get<Request>(parsed);
        EXPECT_EQ(r.command, c.command) << c.line;
        EXPECT_EQ(r.board, c.board) << c.line;
        EXPECT_EQ(r.on, c.on) << c.line;
        EXPECT_EQ(r.since_ms, c.since_ms) << c.line;
        EXPECT_EQ(r.since_id, c.since_id) << c.line;
    }
    EXPECT_EQ(std::get<Request>(parse_request(R"({"cmd":"hello","token":"t"})")).token, "t");
}

TEST(Request, BadArgumentsAreNamed) {
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {R"({"cmd":"program","board":0})", "program: \"board\" is a board number from 1"},
        {R"({"cmd":"program","board":1.5})", "program: \"board\" is a board number from 1"},
        {R"({"cmd":"auto","board":1,"on":"on"})", "auto: \"on\" is true or false"},
        {R"({"cmd":"records","since":[1]})", "records: \"since\" is a time"},
        {R"({"cmd":"record","id":""})", "record: \"id\" is a text that is not empty"},
        {R"({"cmd":"hello","token":5})", "\"token\" is a text"},
        {R"({"cmd":7})", "a request names its command in \"cmd\""},
        {"", "malformed JSON"},
        {"{\"cmd\":\"\xff\"}", "malformed JSON"},
    };
    for (const auto& c : cases) {
        const Parsed parsed = parse_request(c.line);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << c.line;
        EXPECT_EQ(std::get<std::string>(parsed).rfind(c.error, 0), 0u)
            << c.line << ": " << std::get<std::string>(parsed);
    }
}

} // namespace
} // namespace zz::service
