#!/bin/bash
# The bash completion of ze-zuzu-cli, sourced as bash-completion sources it, on a few command
# lines: commands, options, option values, chip names of the model and files.
# Usage: completion_test.sh CLI DATA_DIR COMPLETION_SCRIPT SCRATCH_DIR
set -u
cli=$1 data=$2 script=$3 scratch=$4
# shellcheck source=/dev/null
source "$script"
failures=0

# The completions offered for the words given, the last one being completed, one per line.
complete_line() {
    COMP_WORDS=("$cli" "$@")
    COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    _ze_zuzu_cli
    printf '%s\n' "${COMPREPLY[@]}"
}

# expect NAME EXPECTED WORDS...: the completions, sorted, joined by blanks, equal EXPECTED.
expect() {
    local name=$1 expected=$2
    shift 2
    local got
    got=$(complete_line "$@" | sort | paste -sd' ')
    if [[ $got != "$expected" ]]; then
        echo "FAIL $name: expected [$expected], got [$got]"
        failures=$((failures + 1))
    fi
}

# expect_has NAME WANTED WORDS...: WANTED is among the completions, and every completion starts
# with the word being completed.
expect_has() {
    local name=$1 wanted=$2
    shift 2
    local got prefix=${!#}
    got=$(complete_line "$@")
    if ! grep -qxF -- "$wanted" <<<"$got" || grep -qv "^${prefix//\\/\\\\}" <<<"$got"; then
        echo "FAIL $name: [$wanted] not among [$(paste -sd' ' <<<"$got")]"
        failures=$((failures + 1))
    fi
}

expect command "program" pro
expect commands-w "write-eeprom write-fuses write-rom" wr
expect option "--vpp-first" --vp
expect option-values "chip file" --osccal-from ""
expect option-equals "file" --osccal-from = f
expect steps-list "blank,eeprom blank,erase" --steps blank,e
expect family "PIC\ 12bit\ MCU PIC\ 14bit\ MCU PIC\ 16bit\ MCU" --family PIC
expect model "1 2 3 4" --model ""
expect_has chip "16F877A" --data-dir "$data" --chip 16F8
expect_has chip-after-command "16F877A" --data-dir "$data" program x.hex --chip 16F87
# Model 1 has no serial EEPROMs; model 2 has them.
expect no-eeprom-on-model-1 "" --data-dir "$data" --model 1 --chip 24xx0
expect_has eeprom-on-model-2 "24xx01" --data-dir "$data" --model=2 --chip 24xx0
expect virtual-port "Virtual\ board" --virtual-board --port ""
expect records-command "records" rec
expect serial-region "eeprom" program x.hex --serial e
expect records-serial-number "" records --serial ""
expect csv-option "--csv" records --cs

mkdir -p "$scratch"
touch "$scratch/image.hex" "$scratch/image.bin"
expect command-file "$scratch/image.bin $scratch/image.hex" --chip 12F629 program "$scratch/ima"
expect option-file "$scratch/image.hex" --chip-image "$scratch/image.h"
expect values-file "$scratch/image.hex" sequence MAC --values "$scratch/image.h"
expect sequence-name "" sequence "$scratch/ima"
rm -rf "$scratch"

[[ $failures -eq 0 ]] && echo "all completions as expected"
exit $((failures > 0))
