#!/usr/bin/env bash
# Makes (create) or removes (remove) the Wine prefix the Windows tests run in, in a folder of
# the build tree that nothing else uses:
#   ROOT/prefix    WINEPREFIX
#   ROOT/exchange  drive T:, the Windows programs' working folder
#   ROOT/ports     where every COM and LPT port of the prefix points; a test that wants a
#                  port links ROOT/ports/comN to a pseudo-terminal of its own
# Safety: Wine maps COM1, COM2, ... to the machine's /dev/ttyS0, ... (here the console) unless
# told otherwise. Ports 1-200 are mapped into ROOT/ports instead; Wine gives the machine's own
# serial devices the next free numbers (201, ...), and those links are removed once the session
# has started (a port without its link opens nothing). Drive Z: (the whole Linux file system)
# is removed too, so no Windows path reaches /dev. COM255 stays unmapped: the port that does
# not exist. The session is kept alive until "remove", so the mapping is read once and stays
# as checked.
#   ROOT/display   the X display of the session (an Xvfb of its own, where Xvfb is installed):
#                  the desktop of a Wine session is made by its first program and keeps that
#                  program's display, so the session starts on it and every window of the
#                  tests, whichever test starts first, shows there
# The test programs run side by side in this one prefix, so each links COM ports no other
# program links (one program's tests run one after another and may share theirs):
#   wine_cli_tests   COM12, COM13
#   wine_view_tests  COM21, COM22, COM24
#   wine_gui_tests   COM23
set -euo pipefail
action=$1 root=$2 wine=$3 wineserver=$4

export WINEPREFIX=$root/prefix WINEDEBUG=-all
prefix=$WINEPREFIX

stop_session() { [ -d "$prefix" ] && "$wineserver" -k 2>/dev/null || true; "$wineserver" -w 2>/dev/null || true; }
stop_display() {
  if [ -f "$root/xvfb.pid" ]; then
    kill "$(cat "$root/xvfb.pid")" 2>/dev/null || true
    rm -f "$root/xvfb.pid"
  fi
}

case $action in
remove)
  stop_session
  stop_display
  rm -rf "$root"
  exit 0
  ;;
create) ;;
*) echo "usage: $0 create|remove ROOT WINE64 WINESERVER" >&2; exit 2 ;;
esac

stop_session
stop_display
rm -rf "$root"
mkdir -p "$root/ports" "$root/exchange"

if command -v Xvfb >/dev/null; then
  # Xvfb writes the number of the display it chose once it takes connections.
  Xvfb -screen 0 1280x1024x24 -nolisten tcp -displayfd 3 3>"$root/display.number" \
    >/dev/null 2>&1 </dev/null &
  echo $! >"$root/xvfb.pid"
  for _ in $(seq 1 100); do
    grep -q '[0-9]' "$root/display.number" 2>/dev/null && break
    sleep 0.1
  done
  if grep -q '[0-9]' "$root/display.number"; then
    echo ":$(tr -dc '0-9' <"$root/display.number")" >"$root/display"
    export DISPLAY; DISPLAY=$(cat "$root/display")
  else
    echo "Xvfb did not start: the window's tests will be skipped" >&2
    stop_display
    unset DISPLAY
  fi
else
  unset DISPLAY
fi

started=$(date +%s%N)
"$wine" wineboot -i >"$root/wineboot.log" 2>&1

{
  echo 'REGEDIT4'
  echo
  echo '[HKEY_LOCAL_MACHINE\Software\Wine\Ports]'
  for n in $(seq 1 200); do
    echo "\"COM$n\"=\"$root/ports/com$n\""
    echo "\"LPT$n\"=\"$root/ports/lpt$n\""
  done
  # The window's tests run without a window manager: Wine draws the title bars itself.
  echo
  echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
  echo '"Decorated"="N"'
} >"$root/ports.reg"
"$wine" reg import "$root/ports.reg" >>"$root/wineboot.log" 2>&1
stop_session

# Windows' own fonts for the window's tests, where Debian's fonts-wine is installed: MS Sans
# Serif, as the window was drawn in, and Marlett for the title bar's buttons.
if [ -d /usr/share/wine/fonts ]; then
  for font in /usr/share/wine/fonts/*; do
    ln -sf "$font" "$prefix/drive_c/windows/Fonts/"
  done
fi

rm -f "$prefix/dosdevices/z:"
ln -s "$root/exchange" "$prefix/dosdevices/t:"

# A session that lasts until "remove"; its first program starts the device manager, which
# links the ports as mapped above.
"$wineserver" -p 2>"$root/wineserver.log"
"$wine" reg query 'HKLM\Software\Wine\Ports' /v COM200 >>"$root/wineboot.log" 2>&1
for _ in $(seq 1 100); do
  [ -L "$prefix/dosdevices/com200" ] && break
  sleep 0.1
done

# Nothing in the prefix may point at a device of the machine.
for link in "$prefix"/dosdevices/*; do
  target=$(readlink "$link" || true)
  case $target in /dev/*) rm -f "$link" ;; esac
done
for link in "$prefix"/dosdevices/*; do
  target=$(readlink "$link" || true)
  case $target in
    /dev/*) echo "FAIL: $link still points at $target" >&2; exit 1 ;;
  esac
done
if [ ! -L "$prefix/dosdevices/com200" ] || [ -L "$prefix/dosdevices/com255" ] ||
   [ -e "$prefix/dosdevices/z:" ]; then
  echo "FAIL: the prefix's ports or drives are not as mapped:" >&2
  ls -l "$prefix/dosdevices" >&2
  exit 1
fi
echo "Wine prefix ready in $(( ($(date +%s%N) - started) / 1000000 )) ms: $prefix"
