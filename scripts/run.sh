#!/usr/bin/env bash
# Installs what is missing, builds and starts qrticket.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQRTICKET_BUILD_TESTS=OFF -DQRTICKET_BUILD_BENCH=OFF
cmake --build build -j "$(nproc)"

# Until the window lands: print the default ticket to a file and show its bytes.
ticket=$(mktemp --suffix=.bin)
./build/cli/qrticket --device "$ticket" "$@"
echo "Talão gravado em $ticket:"
od -A x -t x1z -v "$ticket"
