#!/bin/sh
# Renders the "Edit Fuses" dialog under a virtual X server and saves it as a PNG.
# Usage: scripts/screenshot-fuses.sh [CHIP IMAGE.hex [OUT.png]]
# Without arguments: an 18F4550 image assembled with gpasm (Debian gputils), saved as
# docs/fuse-editor.png. Needs the program built (make build) and xvfb-run (Debian xvfb).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
program=$build/ze-zuzu
[ -x "$program" ] || { echo "build first: $program is missing" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chip=${1:-18F4550}
image=${2:-}
out=${3:-$root/docs/fuse-editor.png}
if [ -z "$image" ]; then
    cat > "$work/sample.asm" <<'ASM'
    list p=18f4550
    include <p18f4550.inc>
    CONFIG FOSC = HSPLL_HS, PLLDIV = 5, CPUDIV = OSC1_PLL2, USBDIV = 2, WDT = OFF, WDTPS = 128
    CONFIG BOR = SOFT, BORV = 2, LVP = OFF, PBADEN = OFF, MCLRE = ON, XINST = OFF, CP0 = ON
    org 0
    goto 0
    end
ASM
    (cd "$work" && gpasm -o sample.hex sample.asm > /dev/null)
    image=$work/sample.hex
fi
image=$(cd "$(dirname "$image")" && pwd)/$(basename "$image")
# A settings file of its own: the chip selected and the image reloaded at start-up.
cp "$program" "$work/"
printf '[START]\r\nprog_type=3\r\nchip_mode=All Chip\r\nchip_type=%s\r\nfilename=%s\r\n' \
    "$chip" "$image" > "$work/ze-zuzu.ini"
cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" ./ze-zuzu --virtual-board --screenshot-fuses "$out"
