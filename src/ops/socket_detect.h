#pragma once

#include "link/link.h"

namespace zz {

// How a watch of the socket ended.
enum class SocketWatch {
    reported, // the board reported the socket in the state watched for and took the "50"
    stopped,  // CloseRequested ended the wait for the report (no message)
    failed,   // a wrong reply; the receive error was shown
    silent,   // no answer to the command or to the "50"; the receive error was shown
};

// Asks the board to watch the socket for a chip ("12") and waits for its report: "41" within
// 2000 ms, then, with no time limit, a message beginning with 59h, which is acknowledged with
// "50" / "50". The wait processes events all the while, so CloseRequested (a Stop click, the
// window closing, a signal) ends it.
SocketWatch CHIP_IN_SOCKET_DETECT(Link& link, const bool& CloseRequested);
// The same with "13": the socket is empty.
SocketWatch CHIP_OUT_SOCKET_DETECT(Link& link, const bool& CloseRequested);

} // namespace zz
