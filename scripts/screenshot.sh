#!/bin/sh
# Renders the main window and the dialogs on the virtual board under a virtual X server and saves
# them into docs/. Needs the program built (make build) and xvfb-run (Debian xvfb).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
program=$build/ze-zuzu
[ -x "$program" ] || { echo "build first: $program is missing" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/"
cd "$work"

# shot PICTURE [OPENER [MODEL CHIP]]: a settings file of its own for each picture, so it shows
# the first-run state whatever was used before; OPENER is the component name of the menu item
# or button whose dialog is pictured instead of the window.
shot() {
    rm -f ze-zuzu.ini
    if [ -n "$3" ]; then
        printf '[START]\nprog_type=%s\nchip_type=%s\n' "$3" "$4" >ze-zuzu.ini
    fi
    dialog=${2:+--dialog $2}
    # shellcheck disable=SC2086 # $dialog is two words or none
    xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
        ./ze-zuzu --virtual-board --screenshot "$root/docs/$1" $dialog
}

shot main-window.png
shot chip-position.png N22 2 12F629
shot chip-position-icsp.png N_ICSP 3 16F877A
shot statistic.png Button8
shot about.png N25
