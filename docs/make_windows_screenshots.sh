#!/usr/bin/env bash
# Takes the README's screenshots of the Windows window under Wine: the main window, the main
# window with its device list open, and the preview of a ticket. Runs qrticket-gui.exe in a Wine
# prefix of its own on an Xvfb of its own (tests/wine/wine_prefix.sh makes both, with Windows'
# fonts, and maps no port of this machine), driven by the tests' gui_probe.exe.
# Needs a build with the Windows tests (the Linux build's windows/ folder has both programs).
# Usage: docs/make_windows_screenshots.sh [WINDOWS_BUILD_DIR] [OUTPUT_DIR]
#        (default: build/windows docs)
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
windows=$(realpath "${1:-build/windows}")
mkdir -p "${2:-docs}"
out=$(realpath "${2:-docs}")
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
root=$(mktemp -d)
prefix_script=$source_dir/tests/wine/wine_prefix.sh
trap 'bash "$prefix_script" remove "$root" "$wine" "$wineserver"' EXIT

bash "$prefix_script" create "$root" "$wine" "$wineserver" >/dev/null
[ -s "$root/display" ] || { echo "Xvfb is needed (Debian: xvfb)" >&2; exit 1; }
export WINEPREFIX=$root/prefix WINEDEBUG=-all DISPLAY
DISPLAY=$(cat "$root/display")
cp "$windows/ui/win/qrticket-gui.exe" "$windows/tests/win/gui_probe.exe" "$root/exchange/"
cd "$root/exchange"
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# The test prefix knows 200 of each port (all pointing into its own folder); the pictures show
# a counter's machine: two serial ports and one parallel port, as Windows' device map has them.
for map in SERIALCOMM 'PARALLEL PORTS'; do
  "$wine" reg delete 'HKLM\HARDWARE\DEVICEMAP\'"$map" /va /f >/dev/null 2>&1 || true
done
"$wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\Serial0' /d COM1 /f >/dev/null 2>&1
"$wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\VCP0' /d COM3 /f >/dev/null 2>&1
"$wine" reg add 'HKLM\HARDWARE\DEVICEMAP\PARALLEL PORTS' /v '\Device\Parallel0' /d '\DosDevices\LPT1' /f >/dev/null 2>&1

"$wine" qrticket-gui.exe >/dev/null 2>&1 &
gui=$!
# The probe answers each command with lines and "ok"; `ask` sends one and prints the lines.
coproc probe { exec "$wine" gui_probe.exe 2>"$root/probe.log"; }
# Copies of the coprocess's pipes that subshells ($(...), pipelines) inherit too.
exec 7>&"${probe[1]}" 8<&"${probe[0]}"
ask() {
  echo "$*" >&7
  local line
  while IFS= read -r line <&8; do
    line=${line%$'\r'}
    [ "$line" = ok ] && return 0
    case $line in error:*) echo "$line" >&2; return 1 ;; esac
    echo "$line"
  done
}
field() { tr '|' '\n' | sed -n "s/^$1=//p"; }
# Photographs the screen and puts the windows at X Y W H (one or more) on white, with a margin:
# photograph OUTPUT X Y W H [X Y W H ...]
photograph() {
  local output=$1 shot=$root/shot.png margin=8
  shift
  local -a rects=("$@")
  local left=${rects[0]} top=${rects[1]} right=0 bottom=0 i
  for ((i = 0; i < ${#rects[@]}; i += 4)); do
    local x=${rects[i]} y=${rects[i + 1]} w=${rects[i + 2]} h=${rects[i + 3]}
    ((x < left)) && left=$x
    ((y < top)) && top=$y
    ((x + w > right)) && right=$((x + w))
    ((y + h > bottom)) && bottom=$((y + h))
  done
  sleep 0.5
  import -window root "$shot"
  local -a layers=()
  for ((i = 0; i < ${#rects[@]}; i += 4)); do
    local x=${rects[i]} y=${rects[i + 1]} w=${rects[i + 2]} h=${rects[i + 3]}
    layers+=('(' "$shot" -crop "${w}x${h}+${x}+${y}" +repage ')'
      -geometry "+$((x - left + margin))+$((y - top + margin))" -composite)
  done
  convert -size "$((right - left + 2 * margin))x$((bottom - top + 2 * margin))" xc:white \
    "${layers[@]}" "$output"
  echo "$output"
}
rect() { local r; r=$(cat); echo "${r//,/ }"; }

ask wait Form1 20000 >/dev/null
ask sync >/dev/null
read -r x y w h < <(ask window Form1 | field outer | rect)
photograph "$out/windows-main-window.png" "$x" "$y" "$w" "$h"

# The device box's arrow: the right end of the box, in the window's client area.
read -r cx cy _ _ < <(ask window Form1 | field client | rect)
box=$(ask controls Form1 | grep '^ObjPrint|' | cut -d'|' -f3)
read -r bx by bw bh <<<"${box//,/ }"
ask clickat $((cx + bx + bw - 8)) $((cy + by + bh / 2)) >/dev/null
ask hover Label3 >/dev/null  # the mouse away, so the box's tool tip does not cover the list
ask sync >/dev/null
read -r lx ly lw lh < <(ask rect ComboLBox | rect)
photograph "$out/windows-device-list.png" "$x" "$y" "$w" "$h" "$lx" "$ly" "$lw" "$lh"
ask keys Escape >/dev/null

ask click ObjPrint >/dev/null
ask selectall ObjPrint >/dev/null
ask type VISUALIZAR: >/dev/null
ask click Command1 >/dev/null
ask titled 10000 "QR Code - Teste - Visualizar talão" >/dev/null
ask sync >/dev/null
read -r px py pw ph < <(ask window TicketPreview | field outer | rect)
photograph "$out/windows-preview.png" "$px" "$py" "$pw" "$ph"
ask keys Escape >/dev/null
ask click Command2 >/dev/null
echo quit >&7
wait "$gui" || true
