#!/usr/bin/env bash
# Builds qrticket-gui.exe, qrticket.exe and qrticket-view.exe for 64-bit Windows on this Debian
# machine with MinGW-w64, linked statically (they need no DLL and no installation), and packs
# them with LEIA-ME.txt and the licences:  BUILD_DIR/qrticket-VERSION-windows-x86_64.zip
# Usage: bash scripts/build-windows.sh [BUILD_DIR]     (default: build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
source scripts/build-cache.sh

build=${1:-build-windows}
# The first configure fetches Debian's sources of libqrencode, zint, libpng and FreeType and
# builds them into the cache folder (scripts/build-cache.sh, scripts/windows-libraries.sh);
# without them it stops, naming what is missing.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake "${cache_args[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DQRTICKET_WINDOWS_LIBRARIES=ON -DQRTICKET_BUILD_GUI=ON \
  -DQRTICKET_BUILD_VIEWER=ON -DQRTICKET_BUILD_TESTS=OFF -DQRTICKET_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)" --target qrticket_windows_zip
ls -l "$build"/qrticket-*-windows-x86_64.zip
