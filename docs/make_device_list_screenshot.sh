#!/usr/bin/env bash
# Takes the README's screenshot of the main window with the device list open, under a real X
# server (Xvfb). The list shows what this machine has; set CUPS_SERVER to show a scheduler's
# queues. Usage: docs/make_device_list_screenshot.sh [BUILD_DIR] [OUTPUT]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
output=${2:-docs/device-list.png}
shot=$(mktemp --suffix=.png)
script=$(mktemp --suffix=.sh)
trap 'rm -f "$shot" "$script"' EXIT

# Waits out the splash, clicks the device box's arrow (its right end: the window is centred,
# the box at 1500 + 390 twips from the left and 480 + 3870 from the top, 4875 wide), waits for
# the list, then photographs the whole screen.
cat >"$script" <<SCRIPT
"$build/ui/qrticket-gui" &
sleep ${SHOT_DELAY:-4.5}
window=\$(xdotool search --name "QR Code - Teste" | head -1)
eval \$(xdotool getwindowgeometry --shell "\$window")
xdotool mousemove \$((X + (1890 + 4875) / 15 - 8)) \$((Y + (4350 + 150) / 15)) click 1
sleep 1
import -window root "$shot"
kill %1
SCRIPT
xvfb-run -a -s "-screen 0 1280x1100x24" bash "$script" 2>/dev/null
# The window and the list lie on Xvfb's black root, and the list reaches past the window: paint
# the root white from a corner (the black text is not connected to it), then cut out.
convert "$shot" -fill white -draw 'color 0,0 floodfill' -bordercolor white -border 1 -trim \
  +repage -bordercolor white -border 8 "$output"
echo "$output"
