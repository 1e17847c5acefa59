#!/bin/sh
# Builds the fuzz targets of fuzz/ with clang and libFuzzer and runs each for SECONDS on its
# committed seed corpus, two at a time. New inputs go to BUILD/corpus/<target>; an input that
# crashes or hangs a target is kept as BUILD/findings/<target>-* and fails the run.
# Usage: fuzz.sh [BUILD [SECONDS]]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-fuzz}
seconds=${2:-60}
if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz: clang++ is not installed (scripts/setup.sh installs it); nothing fuzzed"
    exit 0
fi
targets=$(cd "$root/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//')
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZZ_BUILD_GUI=OFF -DZZ_FUZZ=ON >/dev/null
for target in $targets; do
    cmake --build "$build" -j "$(nproc)" --target "$target" >"$build/build.log" 2>&1 ||
        { cat "$build/build.log"; exit 1; }
done

run_one() {
    target=$1
    mkdir -p "$build/corpus/$target" "$build/findings"
    # -timeout: an input that takes this long (s) is a hang; the virtual clock makes every
    # legitimate input take milliseconds.
    if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=8192 -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
        "$build/corpus/$target" "$root/fuzz/corpus/$target" >"$build/$target.log" 2>&1; then
        echo "fuzz: $target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' \
            "$build/$target.log" | grep -o '[0-9]*$') runs, no finding"
        return 0
    fi
    echo "fuzz: $target FOUND A PROBLEM:"
    tail -n 40 "$build/$target.log"
    return 1
}

status=0
set -- $targets
while [ $# -gt 0 ]; do
    run_one "$1" &
    first=$!
    second=""
    if [ $# -gt 1 ]; then
        run_one "$2" &
        second=$!
    fi
    wait "$first" || status=1
    [ -z "$second" ] || wait "$second" || status=1
    shift
    [ $# -gt 0 ] && shift
done
exit $status
