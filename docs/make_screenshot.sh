#!/usr/bin/env bash
# Takes the README's screenshot of the main window under a real X server (Xvfb), at the given
# display scale (default 1). Usage: docs/make_screenshot.sh [BUILD_DIR] [SCALE] [OUTPUT]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scale=${2:-1}
output=${3:-docs/main-window.png}
shot=$(mktemp --suffix=.png)
script=$(mktemp --suffix=.sh)
trap 'rm -f "$shot" "$script"' EXIT

# Waits out the three-second splash, then photographs the whole screen.
cat >"$script" <<SCRIPT
QT_SCALE_FACTOR=$scale "$build/ui/qrticket-gui" &
sleep ${SHOT_DELAY:-4.5}
import -window root "$shot"
kill \$!
SCRIPT
xvfb-run -a -s "-screen 0 1280x1100x24" bash "$script" 2>/dev/null
# The window is white on Xvfb's black root: cut it out.
convert "$shot" -trim +repage "$output"
echo "$output"
