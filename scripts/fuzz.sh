#!/bin/sh
# Runs each fuzz target of fuzz/ for SECONDS on its committed seed corpus, two at a time, in a
# build configured with ZZ_FUZZ (clang; make fuzz does that). New inputs go to
# BUILD/corpus/<target>; an input that crashes or hangs a target is kept as
# BUILD/findings/<target>-* and fails the run.
# Usage: fuzz.sh BUILD [SECONDS]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
seconds=${2:-60}
if ! grep -q '^ZZ_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    echo "fuzz: $build is not built for fuzzing (clang++ missing?); nothing fuzzed"
    exit 0
fi
targets=$(cd "$root/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//')
for target in $targets; do
    cmake --build "$build" -j "$(nproc)" --target "$target" >"$build/fuzz-build.log" 2>&1 ||
        { cat "$build/fuzz-build.log"; exit 1; }
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
