#!/usr/bin/env python3
"""Programs one chip on a ZE-ZUZU station and prints its result (standard library only).

Usage: station_client.py ADDRESS [--board N] [--token-file FILE]
ADDRESS is where `ze-zuzu-cli station --listen ADDRESS` listens: unix:PATH or tcp:HOST:PORT.
Exit status: 0 the chip passed, 1 it failed or the station refused, 2 no answer.
"""
import argparse
import json
import socket
import sys

TIMEOUT_S = 600  # the longest wait for the next event: a large chip on a slow board


def connect(address):
    if address.startswith("unix:"):
        s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        s.connect(address[len("unix:"):])
        return s
    if address.startswith("tcp:"):
        host, _, port = address[len("tcp:"):].rpartition(":")
        return socket.create_connection((host.strip("[]") or "127.0.0.1", int(port)))
    sys.exit("the address is unix:PATH or tcp:HOST:PORT")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("address")
    parser.add_argument("--board", type=int, default=1)
    parser.add_argument("--token-file")
    args = parser.parse_args()
    sock = connect(args.address)
    sock.settimeout(TIMEOUT_S)
    events = sock.makefile("r", encoding="utf-8")

    def send(request):
        sock.sendall((json.dumps(request) + "\n").encode("utf-8"))

    def next_event():
        line = events.readline()
        if not line:
            sys.exit("the station closed the connection")
        return json.loads(line)

    hello = {"cmd": "hello"}
    if args.token_file:
        with open(args.token_file, encoding="utf-8") as f:
            hello["token"] = f.readline().strip()
    send(hello)
    station = next_event()
    if station["event"] != "hello":
        print(station.get("message", station), file=sys.stderr)
        return 1
    print("ze-zuzu %s, %d boards, job %s" % (station["version"], len(station["boards"]),
                                             station["job"] or "none"))
    send({"cmd": "program", "board": args.board})
    while True:
        event = next_event()
        kind = event["event"]
        if kind == "step":
            print("  %s %d %%" % (event["name"], event["percent"]))
        elif kind == "error":
            print("error: " + event["message"], file=sys.stderr)
            return 1
        elif kind == "result":
            print("%s, serial number %s, %d ms, record %s%s" % (
                event["result"], event["serial"] or "none", event["elapsed_ms"],
                event["record"], ": " + event["message"] if event["message"] else ""))
            return 0 if event["result"] == "passed" else 1


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (OSError, socket.timeout) as e:
        print("no answer from the station: %s" % e, file=sys.stderr)
        sys.exit(2)
