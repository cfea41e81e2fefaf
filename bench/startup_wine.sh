#!/usr/bin/env bash
# Start-up benchmark of qrticket-gui.exe under Wine beside a minimal Win32 window, in the same
# run and the same Wine session:
#   - time from process start (the launcher's fork of wine64) to the first window on screen:
#     the splash, and the minimal window;
#   - resident memory (VmRSS of the Wine process) once the main window is on screen (Form1,
#     after the splash's 3 s; the minimal window's own).
# A second yardstick, minimal+cc6, is the same minimal window with common controls 6 (the
# manifest and InitCommonControlsEx of qrticket-gui.exe), which the window needs for its look.
# Each program runs in a Wine prefix made as the tests' one (tests/wine/wine_prefix.sh: an
# Xvfb of its own, Windows' fonts, no port of this machine mapped), kept for all runs.
# Usage: bench/startup_wine.sh [BUILD_DIR] [RUNS]   (a Linux build with the Windows tests and
#        the benchmarks: BUILD_DIR/windows holds both .exe files)
# With BENCH_SMAPS_DIR=DIR, each program's last run leaves the Wine process's smaps at that
# moment in DIR/LABEL.smaps (bench/smaps_summary.sh sums them by mapping).
set -euo pipefail
cd "$(dirname "$0")/.."
median_awk=$PWD/bench/median_summary.awk
build=$(realpath "${1:-build}")
runs=${2:-7}
launcher=$build/bench/wine_startup_probe
gui=$build/windows/ui/win/qrticket-gui.exe
minimal=$build/windows/bench/win/minimal_window.exe
minimal_cc6=$build/windows/bench/win/minimal_window_cc6.exe
for file in "$launcher" "$gui" "$minimal" "$minimal_cc6"; do
  [ -f "$file" ] || { echo "missing $file: cmake --build $build (with the Windows tests and the benchmarks)" >&2; exit 2; }
done
wine=$(grep -m1 '^QRTICKET_WINE64:' "$build/CMakeCache.txt" | cut -d= -f2)
wineserver=$(grep -m1 '^QRTICKET_WINESERVER:' "$build/CMakeCache.txt" | cut -d= -f2)

root=$(mktemp -d)
prefix_script=$PWD/tests/wine/wine_prefix.sh
trap 'bash "$prefix_script" remove "$root" "$wine" "$wineserver"' EXIT
bash "$prefix_script" create "$root" "$wine" "$wineserver" >/dev/null
[ -s "$root/display" ] || { echo "Xvfb is needed (Debian: xvfb)" >&2; exit 1; }
export WINEPREFIX=$root/prefix WINEDEBUG=-all DISPLAY
DISPLAY=$(cat "$root/display")
cp "$gui" "$minimal" "$minimal_cc6" "$root/exchange/"
cd "$root/exchange"
# Unmanaged windows, as in the tests (there is no window manager on this display).
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

measure() {  # measure LABEL TITLE PROGRAM: one line: label start_us rss_kib
  local label=$1 title=$2 program=$3 out
  [ -n "${BENCH_SMAPS_DIR:-}" ] && export PROBE_SMAPS=$BENCH_SMAPS_DIR/$label.smaps
  out=$("$launcher" "$title" "$wine" "$program" 2>/dev/null) || { echo "$label: no window titled '$title'" >&2; return 1; }
  local shown=${out#*first_shown_us=}; shown=${shown%%$'\n'*}
  local rss=${out#*rss_kib=}; rss=${rss%%$'\n'*}
  echo "$label $shown $rss"
}
# A first run of each, not counted: Wine's first start of a program in a session loads more.
measure minimal "Mínima" minimal_window.exe >/dev/null
measure minimal+cc6 "Mínima" minimal_window_cc6.exe >/dev/null
measure qrticket-gui "QR Code - Teste v1.3" qrticket-gui.exe >/dev/null
samples=""
for ((i = 0; i < runs; i++)); do
  # Alternate the two, so both see the same machine load and the same warm caches.
  samples+=$(measure minimal "Mínima" minimal_window.exe)$'\n'
  samples+=$(measure minimal+cc6 "Mínima" minimal_window_cc6.exe)$'\n'
  samples+=$(measure qrticket-gui "QR Code - Teste v1.3" qrticket-gui.exe)$'\n'
done

[ -n "${BENCH_VERBOSE:-}" ] && echo "$samples"
echo "Wine $("$wine" --version 2>/dev/null) on Xvfb; $runs runs each; medians (min-max)"
printf '%-14s %24s %26s\n' program "start to window (ms)" "RSS, main window (MiB)"
summary() {
  echo "$samples" | awk -v l="$1" -v raw=1 -f "$median_awk"
}
minimal_line=$(summary minimal)
cc6_line=$(summary minimal+cc6)
gui_line=$(summary qrticket-gui)
echo "${minimal_line% * *}"
echo "${cc6_line% * *}"
echo "${gui_line% * *}"
ratio() {  # ratio LABEL LINE YARDSTICK_LINE
  awk -v l="$1" -v a="$2" -v b="$3" 'BEGIN {
    na = split(a, x, " "); nb = split(b, y, " ");
    printf "%s: %.2f times the start to the window, %.2f times the memory\n",
           l, x[na - 1] / y[nb - 1], x[na] / y[nb] }'
}
ratio "qrticket-gui / minimal" "$gui_line" "$minimal_line"
# The same minimal window with common controls 6 (manifest and InitCommonControlsEx), which
# qrticket-gui.exe needs for its look: what is left is the program's own.
ratio "qrticket-gui / minimal+cc6" "$gui_line" "$cc6_line"
