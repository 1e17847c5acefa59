#!/usr/bin/env python3
"""Writes a made-up firmware image for rehearsing the firmware upgrade on the virtual board.

Usage: python3 tools/gen_firmware_image.py OUT [--version 2.40] [--lines 768]

The file has the image format the upgrade reads: the version line "V" + VERSION, LINES data
lines of eight 16-bit words (a colon and 32 hex digits, low byte of each word first) and the
end line ":00000001FF". The words begin with the version table the virtual board reports after
the upgrade (RETLW instructions 34xxh, one character of "V" + VERSION each), then GOTO words
that differ from address to address. It is no firmware for a real board: never send it to one.
docs/virtual-board.md describes the table.
"""

import argparse
import sys

MAX_LINES = 768  # the board's 6144-word firmware memory
RETLW = 0x3400
GOTO = 0x2800


def firmware_words(version_text, count):
    words = [RETLW | ord(c) for c in version_text[:count]]
    while len(words) < count:
        words.append(GOTO | (len(words) & 0x7FF))
    return words


def image_text(version, lines):
    words = firmware_words("V" + version, lines * 8)
    out = ["V" + version]
    for i in range(0, len(words), 8):
        out.append(":" + "".join("%02X%02X" % (w & 0xFF, w >> 8) for w in words[i:i + 8]))
    out.append(":00000001FF")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("--version", default="2.40")
    parser.add_argument("--lines", type=int, default=MAX_LINES)
    args = parser.parse_args()
    if not 1 <= args.lines <= MAX_LINES:
        parser.error("--lines takes 1 to %d" % MAX_LINES)
    if not args.version.isprintable() or not args.version.isascii():
        parser.error("--version takes printable ASCII text")
    with open(args.out, "w", encoding="ascii") as f:
        f.write(image_text(args.version, args.lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
