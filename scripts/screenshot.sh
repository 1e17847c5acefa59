#!/bin/sh
# Renders the main window on the virtual board under a virtual X server and saves
# docs/main-window.png. Needs the program built (make build) and xvfb-run (Debian xvfb).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
program=$build/ze-zuzu
[ -x "$program" ] || { echo "build first: $program is missing" >&2; exit 1; }
# A settings file of its own, so the picture shows the first-run state whatever was used before.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/"
cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    ./ze-zuzu --virtual-board --screenshot "$root/docs/main-window.png"
