#!/usr/bin/env bash
# Runs a command of the Windows tests in the prefix's session, on its display (ROOT/display,
# where wine_prefix.sh started an Xvfb): Wine starts the desktop of a session, and restarts it
# whenever it fell idle, with the display of the program that needs it then, so every program
# of the session must have the same one, or a window test may find its windows on a desktop
# that shows nothing. Usage: in_session.sh ROOT COMMAND [ARGUMENT...]
set -euo pipefail
root=$1
shift
if [ -s "$root/display" ]; then
  DISPLAY=$(cat "$root/display")
  export DISPLAY
else
  unset DISPLAY
fi
exec "$@"
