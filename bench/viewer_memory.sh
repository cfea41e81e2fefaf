#!/usr/bin/env bash
# Peak memory and time of qrticket-view with 1, 16 and 64 MiB of line feeds, of random bytes
# and of raster images, one process per input so each peak is its own (GNU time's %M, the
# maximum resident set size). Memory must stay flat with the input's size: the paper raster
# (at most 576 x 60000 dots) and a constant, never the input.
# Usage: bench/viewer_memory.sh [BUILD_DIR]   (needs qrticket-view built)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build-test}")
view="$build/viewer/qrticket-view"
[ -x "$view" ] || { echo "missing $view: cmake --build $build --target qrticket-view" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs GNU time (/usr/bin/time)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# make KIND MIB FILE: writes the input.
make_input() {
  python3 - "$1" "$2" "$3" <<'PY'
import random, struct, sys
kind, mib, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
size = mib * 1024 * 1024
with open(path, "wb") as out:
    if kind == "lf":
        out.write(b"\n" * size)
    elif kind == "random":
        out.write(random.Random(20261208).randbytes(size))
    else:  # images: GS v 0 of 576 x 1000 dots, a diagonal pattern, one after the other
        rows = bytes(((x * 8 + y) % 13 < 4) * 0xFF for y in range(1000) for x in range(72))
        image = b"\x1dv0\x00" + struct.pack("<HH", 72, 1000) + rows
        written = 0
        while written + len(image) <= size:
            out.write(image)
            written += len(image)
        out.write(b"\0" * (size - written))  # NULs: skipped, they feed no paper
PY
}

printf '%-8s %6s %9s %9s\n' input MiB seconds peak_MiB
for kind in lf random images; do
  for mib in 1 16 64; do
    input="$work/$kind-$mib.bin"
    make_input "$kind" "$mib" "$input"
    stats=$(/usr/bin/time -f '%e %M' "$view" "$input" -o "$work/out.png" 2>&1 >/dev/null | tail -1)
    read -r seconds kib <<<"$stats"
    printf '%-8s %6d %9s %9.1f\n' "$kind" "$mib" "$seconds" "$(echo "$kib / 1024" | bc -l)"
    rm -f "$input"
  done
done
