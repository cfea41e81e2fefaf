#!/usr/bin/env bash
# Start-up benchmark of qrticket-gui beside a minimal Qt Widgets program, in the same run:
#   - time from process start (the fork in this script) to the splash painted on screen;
#   - resident memory (VmRSS) once the main window is painted.
# Runs under Xvfb (a real X server) when it is installed, else on Qt's offscreen platform.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]   (BUILD_DIR needs the bench targets built)
set -euo pipefail
cd "$(dirname "$0")/.."
median_awk=$PWD/bench/median_summary.awk
build=$(realpath "${1:-build-bench}")
runs=${2:-7}
gui="$build/bench/bench_startup_gui"
minimal="$build/bench/bench_startup_minimal"
for program in "$gui" "$minimal"; do
  [ -x "$program" ] || { echo "missing $program: cmake --build $build --target $(basename "$program")" >&2; exit 2; }
done

inner=$(mktemp --suffix=.sh)
trap 'rm -f "$inner"' EXIT
cat >"$inner" <<'INNER'
set -euo pipefail
measure() {  # measure LABEL PROGRAM [ARGS...]: one line per run: label start_ms rss_kib
  local label=$1; shift
  local out start
  start=$(date +%s%N)
  out=$("$@" 2>/dev/null)
  local shown=${out#*first_shown_ns=}; shown=${shown%%$'\n'*}
  local rss=${out#*rss_kib=}; rss=${rss%%$'\n'*}
  echo "$label $(( (shown - start) / 1000 )) $rss"
}
for ((i = 0; i < RUNS; i++)); do
  # Alternate the two, so both see the same machine load and the same warm caches.
  measure minimal "$MINIMAL"
  measure qrticket-gui "$GUI" 200
done
INNER

export RUNS="$runs" GUI="$gui" MINIMAL="$minimal"
if command -v xvfb-run >/dev/null; then
  platform="xcb on Xvfb"
  samples=$(env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" bash "$inner")
else
  platform="offscreen"
  samples=$(QT_QPA_PLATFORM=offscreen bash "$inner")
fi

[ -n "${BENCH_VERBOSE:-}" ] && echo "$samples"
echo "platform: $platform; $runs runs each; medians (min-max)"
printf '%-14s %24s %26s\n' program "start to splash (ms)" "RSS, window shown (MiB)"
for label in minimal qrticket-gui; do
  echo "$samples" | awk -v l="$label" -f "$median_awk"
done
