#!/usr/bin/env bash
# Runs the whole CTest suite of a build folder, then the same suite built
# with AddressSanitizer and UndefinedBehaviorSanitizer. Exits non-zero on
# any failure; the last line is CTest's summary.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$root/build"}
export QT_QPA_PLATFORM=offscreen

status=0
ctest --test-dir "$build" --output-on-failure -j2 || status=1

if [ "${VELTINDEXER_SKIP_SANITIZERS:-0}" != 1 ]; then
  echo "=== AddressSanitizer + UndefinedBehaviorSanitizer ==="
  cmake -S "$root" -B "$root/build-asan" -G Ninja -DVELTINDEXER_SANITIZE=ON >/dev/null
  cmake --build "$root/build-asan"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$root/build-asan" --output-on-failure -j2 || status=1
fi
exit $status
