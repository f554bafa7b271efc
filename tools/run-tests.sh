#!/usr/bin/env bash
# Runs the whole CTest suite of a build folder, makes the Debian package and
# shows its computed dependencies, then runs the same suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer, a few seconds of each
# fuzz target, and the threading, crawler, network and shutdown tests built
# with ThreadSanitizer. Exits non-zero on any failure; the last line is
# CTest's summary.
#
# VELTINDEXER_SKIP_SANITIZERS=1 leaves out the sanitizer and fuzz stages;
# VELT_FUZZ_SECONDS sets the fuzz stage's seconds per target (default 5).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$root/build"}
export QT_QPA_PLATFORM=offscreen

status=0
ctest --test-dir "$build" --output-on-failure -j2 || status=1

echo "=== Debian package ==="
rm -f "$build"/veltindexer_*.deb
if (cd "$build" && cpack -G DEB >/dev/null); then
  dpkg-deb --info "$build"/veltindexer_*.deb | grep -E '^ (Package|Version|Depends|Recommends):'
  "$root/tools/try-package.sh" "$build"/veltindexer_*.deb || [ $? -eq 77 ] || status=1
else
  status=1
fi

if [ "${VELTINDEXER_SKIP_SANITIZERS:-0}" != 1 ]; then
  echo "=== AddressSanitizer + UndefinedBehaviorSanitizer ==="
  cmake -S "$root" -B "$root/build-asan" -G Ninja -DVELTINDEXER_SANITIZE=ON >/dev/null
  cmake --build "$root/build-asan"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$root/build-asan" --output-on-failure -j2 || status=1

  echo "=== Fuzzing (libFuzzer, ${VELT_FUZZ_SECONDS:-5}s per target) ==="
  "$root/tools/fuzz.sh" "${VELT_FUZZ_SECONDS:-5}" || status=1

  echo "=== ThreadSanitizer: threads, crawler, network and shutdown ==="
  tsan="$root/build-tsan"
  cmake -S "$root" -B "$tsan" -G Ninja -DVELTINDEXER_TSAN=ON >/dev/null
  cmake --build "$tsan" --target platform_tests crawler_tests crawler_site_tests net_loopback_tests \
    app_gui_tests
  export TSAN_OPTIONS="suppressions=$root/tests/tsan-suppressions.txt halt_on_error=1 second_deadlock_stack=1"
  ctest --test-dir "$tsan" --output-on-failure -j2 -R '^MainFormShutdown\.' || status=1
  ctest --test-dir "$tsan" --output-on-failure -j2 -L 'threads|network' || status=1
fi
exit $status
