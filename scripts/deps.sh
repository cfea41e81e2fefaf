#!/usr/bin/env bash
# Installs the Debian packages qrticket needs to build, run and test. Installs only what is
# missing, so a second run costs nothing. Run as root (or with sudo available).
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  ccache                                         # compiler cache shared by every build and clone
  libcli11-dev                                   # command line parsing
  libcups2-dev                                   # CUPS queues as devices, and their list
  qt6-base-dev qt6-qpa-plugins libgl-dev         # windows (Qt 6 Widgets)
  qt6-translations-l10n openbox xdotool          # Qt's texts in Portuguese; window-focus tests
  fonts-liberation                               # a metric-compatible sans font for the windows
  libqrencode-dev libpng-dev libfreetype-dev fonts-dejavu-core  # symbol facts; the virtual printer
  libzint-dev                                    # the virtual printer's bar codes and 2D codes
  libgtest-dev libgmock-dev libbenchmark-dev     # tests and benchmarks
  libzbar-dev zbar-tools                         # decoding rendered QR symbols in tests
  cups cups-client cups-bsd                      # a private CUPS scheduler in tests
  libzxing-dev                                   # the virtual printer reads QR symbols in pictures; tests decode codes
  xvfb xauth                                     # a display for screenshots and headless runs
  libxcb1-dev                                    # X11 calls of the windows (task bar hint, display check)
  g++-mingw-w64-x86-64-posix googletest wine64   # qrticket.exe, built here and tested under Wine
  fonts-wine                                     # Windows' fonts (MS Sans Serif) for the window under Wine
  libz-mingw-w64-dev                             # zlib for the Windows build's libpng and FreeType
  libcpp-httplib-dev                             # the receipt bench's page (qrticket-view --web)
  chromium                                       # the bench's page tested in a headless browser
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "A instalar: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
