#!/usr/bin/env bash
# Installs what is missing, builds and starts the qrticket window (qrticket-gui).
set -euo pipefail
here=$PWD
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/deps.sh
source scripts/build-cache.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQRTICKET_BUILD_TESTS=OFF -DQRTICKET_BUILD_BENCH=OFF \
  "${cache_args[@]}"
cmake --build build -j "$(nproc)" --target qrticket-gui qrticket

# Without a display the program says so and shows how to print with the command-line tool
# built beside it, by a path that runs from the folder this script was started in
# (./build/cli/qrticket from the source folder), so it starts there.
cd "$here"
exec "$root/build/ui/qrticket-gui" "$@"
