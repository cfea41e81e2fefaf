#!/usr/bin/env bash
# Installs what is missing, builds and starts the qrticket window (qrticket-gui).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQRTICKET_BUILD_TESTS=OFF -DQRTICKET_BUILD_BENCH=OFF
cmake --build build -j "$(nproc)" --target qrticket-gui qrticket

# Without a display the program says so and shows how to print with the command-line tool
# built beside it, by the path that runs from here: ./build/cli/qrticket.
exec ./build/ui/qrticket-gui "$@"
