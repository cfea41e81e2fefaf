#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. Used by CI as it is.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen   # window tests need no display

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"
