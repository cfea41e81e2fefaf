#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. Used by CI as it is. The
# build includes qrticket.exe for Windows (MinGW-w64, in build-test/windows), whose tests run
# under Wine beside the Linux suite (CTest label "wine").
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen   # window tests need no display
source scripts/build-cache.sh      # ccache and the Windows libraries, kept outside the clone

# Line tables only (-g1): enough for a backtrace, and a third less compile time than full -g.
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cache_args[@]}" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer (any report
# fails the test that triggered it). The windows' behaviour without a toolkit (ui/form) is in
# it; the desktop program is left out of this pass: it doubles
# the build on a 2-core machine and Qt's own start-up allocations are not ours to chase; the
# window tests run in the pass above. Benchmarks measure nothing useful under sanitizers, and
# the Windows build (qrticket.exe under Wine, in the pass above) is not instrumented. -O1 is
# the usual level for sanitized builds: it halves their compile time against -O2 on 2 cores.
cmake -S . -B build-test-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRTICKET_SANITIZE=ON "${cache_args[@]}" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
  -DQRTICKET_BUILD_GUI=OFF -DQRTICKET_BUILD_BENCH=OFF -DQRTICKET_WINDOWS_TESTS=OFF
cmake --build build-test-asan -j "$jobs"
# Left out here, they run in the pass above: the second-signal rows. Their second signal must
# come while the job runs, and the exit-time leak check holds a finished job's process open long
# enough for it to come after the job has put the line back and let go of its handlers.
ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-test-asan --output-on-failure -j "$jobs" \
  -E "SecondSignal"
