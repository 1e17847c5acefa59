#!/bin/sh
# The committed chip databases are exactly what the generator makes from the facts tables.
# Usage: chip_db_regenerates.sh REPO FACTS_DIR
set -e
repo=$1
facts=$2
if [ ! -d "$facts" ]; then
    echo "facts tables not found at $facts: nothing to compare"
    exit 0
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
python3 "$repo/tools/gen_chip_db.py" "$facts" --out "$out" > /dev/null
for f in "$out"/*.ini; do
    cmp "$f" "$repo/data/$(basename "$f")"
done
for f in "$repo"/data/*.ini; do
    [ -f "$out/$(basename "$f")" ] || { echo "not generated: $f"; exit 1; }
done
echo "chip databases regenerate byte for byte"
