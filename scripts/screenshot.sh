#!/bin/sh
# Renders the main window and the dialogs on the virtual board under a virtual X server and saves
# them in data/manual/, where the manual and docs/ show them. Needs the programs built (make
# build), xvfb-run (Debian xvfb), gpasm (gputils) and sqlite3.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
program=$build/ze-zuzu
[ -x "$program" ] || { echo "build first: $program is missing" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/"
cd "$work"
# Production records of the pictures' own, never the user's.
export XDG_DATA_HOME="$work/data"

# shoot CHIP FILE ARGS...: the window on CHIP with FILE loaded for programmer model $MODEL
# (default 3), or in its first-run state when CHIP is empty. A settings file of its own for each
# picture, so it shows the state chosen here whatever was used before. ARGS name the picture and,
# with --screenshot-dialog OPENER[,BUTTON...], the dialog that opener shows after those clicks.
shoot() {
    rm -f ze-zuzu.ini
    [ -z "$1" ] || printf '[START]\nprog_type=%s\nchip_mode=All Chip\nchip_type=%s\nfilename=%s\nrecords_db=%s\n' \
        "${MODEL:-3}" "$1" "$2" "$work/line.sqlite" >ze-zuzu.ini
    shift 2
    xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" ./ze-zuzu --virtual-board "$@"
}
shoot "" "" --screenshot "$root/data/manual/main-window.png"

# The calibration dialog after "Read Chip" on a 12F629 whose calibration word is 3454.
printf ':0207FE00543471\n:00000001FF\n' >chip629.hex
shoot 12F629 "" --virtual-chip 12F629 --chip-image chip629.hex \
    --screenshot "$root/data/manual/calibration-dialog.png" --screenshot-dialog Button4,READ

# The buffer edit dialog over a few words of code and EEPROM data.
printf ':06000000553086000228C5\n:084200000100020003000400AC\n:00000001FF\n' >code.hex
shoot 16F877A "$work/code.hex" --screenshot "$root/data/manual/edit-dialog.png" \
    --screenshot-dialog SpeedButton3

# The fuse editor over an 18F4550 image assembled with gpasm.
cat >fuses.asm <<'ASM'
    list p=18f4550
    include <p18f4550.inc>
    CONFIG FOSC = HSPLL_HS, PLLDIV = 5, CPUDIV = OSC1_PLL2, USBDIV = 2, WDT = OFF, WDTPS = 128
    CONFIG BOR = SOFT, BORV = 2, LVP = OFF, PBADEN = OFF, MCLRE = ON, XINST = OFF, CP0 = ON
    org 0
    goto 0
    end
ASM
gpasm -o fuses.hex fuses.asm >/dev/null
shoot 18F4550 "$work/fuses.hex" --screenshot "$root/data/manual/fuse-editor.png" \
    --screenshot-dialog Button3

# The chip position viewer (models 3 and 4 never show it, so model 2), also in-circuit; the
# statistic dialog and the about box.
MODEL=2 shoot 12F629 "" --screenshot "$root/data/manual/chip-position.png" --screenshot-dialog N22
shoot 16F877A "" --screenshot "$root/data/manual/chip-position-icsp.png" --screenshot-dialog N_ICSP
shoot "" "" --screenshot "$root/data/manual/statistic.png" --screenshot-dialog Button8
shoot "" "" --screenshot "$root/data/manual/chip-in-socket-time.png" \
    --screenshot-dialog chipinsockettime1

# The serial number dialog (beside the window) over a 16F877A image, numbers ticked on.
shoot 16F877A "$work/code.hex" --screenshot "$root/data/manual/serial-number.png" \
    --screenshot-dialog N21,CheckBox1
shoot "" "" --screenshot "$root/data/manual/about.png" --screenshot-dialog N25

# Auto Program running on the virtual board, a person changing the chips, after three passes.
shoot 16F84A "" --virtual-chip 16F84A --virtual-operator 300,300 \
    --screenshot "$root/data/manual/auto-program.png" --screenshot-auto-program 3

# The station view: four virtual boards in Auto Program, numbered from one sequence, each with a
# person changing its chips, after three passes each.
rm -f ze-zuzu.ini
printf '[START]\nprog_type=3\nchip_mode=All Chip\nchip_type=16F877A\nfilename=%s\nrecords_db=%s\nuse_sequence=1\nsequence=LINE\n[INC]\ninc_enabled=1\ninc_rom=1\ninc_start_add=16\ninc_end_add=17\n' \
    "$work/code.hex" "$work/station.sqlite" >ze-zuzu.ini
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" ./ze-zuzu --virtual-boards 4 \
    --virtual-operator 300,300 --screenshot "$root/data/manual/station-view.png" \
    --screenshot-auto-program 3

# The production records of a day on two stations: numbered chips on three boards, one chip
# refused as not blank, their times spread over the working hours of today.
cli=$build/ze-zuzu-cli
numbered="--db $work/line.sqlite --chip 16F877A --serial rom --serial-start 10 --serial-end 11 \
    --sequence LINE --quiet"
"$cli" $numbered --station bench-1 --virtual-boards 2 --count 14 program code.hex >/dev/null
printf ':02000000FF0FF0\n:00000001FF\n' >used.hex
"$cli" $numbered --station bench-2 --virtual-board --chip-image used.hex --steps blank,rom \
    --no program code.hex >/dev/null 2>&1 || true
"$cli" $numbered --station bench-2 --virtual-board --count 9 program code.hex >/dev/null
midnight=$(date -d 'today 00:00' +%s)
sqlite3 line.sqlite "UPDATE records SET time_ms = ($midnight + 7 * 3600 + rowid * 950) * 1000"
shoot 16F877A "$work/code.hex" --screenshot "$root/data/manual/production-records.png" \
    --screenshot-dialog N_records

# Operator mode as a station PC boots into it: a released job of ten chips in lots, three of them
# done in lot L-17.
job="--db $work/line.sqlite"
"$cli" $job job create line.zzjob --image code.hex --chip 16F877A --quantity 10 --require-lot \
    >/dev/null
"$cli" $job job release line.zzjob >/dev/null
"$cli" $job --virtual-board --job line --lot L-17 --operator ann --count 3 --quiet program \
    >/dev/null
shoot 16F877A "" --job line --operator ann --lot L-17 \
    --screenshot "$root/data/manual/operator-mode.png"
