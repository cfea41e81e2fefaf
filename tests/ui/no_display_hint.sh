#!/bin/sh
# Usage: no_display_hint.sh QRTICKET_GUI FOLDER
# Starts qrticket-gui without any display from FOLDER, takes the command its hint names, exactly
# as written, and runs it there with --help: the operator must be able to type what they read.
set -u
gui=$1
cd "$2" || exit 1
hint=$(env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY= "$gui" 2>&1)
status=$?
printf '%s\n' "$hint"
[ "$status" -eq 3 ] || { echo "FAIL: exit status $status, not 3"; exit 1; }
command=$(printf '%s\n' "$hint" | sed -n 's/^Todas as opções: \(.*\) --help$/\1/p')
[ -n "$command" ] || { echo "FAIL: the hint names no command"; exit 1; }
if ! help=$(eval "$command --help" 2>&1); then
  echo "FAIL: '$command --help' did not run: $help"
  exit 1
fi
case $help in
  *--device*) echo "ran: $command --help" ;;
  *) echo "FAIL: '$command --help' printed: $help"; exit 1 ;;
esac
