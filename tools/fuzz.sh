#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a while.
#
#   tools/fuzz.sh [seconds-per-target] [target...]
#
# Seconds come from the argument, else VELT_FUZZ_SECONDS, else 60. Targets
# are the names after "fuzz_" (all when none are given). Each run starts
# from the committed seeds in tests/fuzz/corpus/<target> plus what earlier
# runs found in build-fuzz/fuzz-work/<target>; a crash, leak, time-out or
# broken invariant is saved under build-fuzz/fuzz-findings/<target>/.
# Prints executions and findings per target; exits 1 on any finding.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-${VELT_FUZZ_SECONDS:-60}}
shift || true
build=${VELT_FUZZ_BUILD:-"$root/build-fuzz"}
all_targets=(jconvert page_analysis url_address sql_dialect like_matcher stored_text search_terms)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DVELTINDEXER_FUZZ=ON >/dev/null
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
report=()
for target in "${targets[@]}"; do
  work="$build/fuzz-work/$target"
  findings="$build/fuzz-findings/$target"
  log="$build/fuzz-logs/$target.log"
  mkdir -p "$work" "$findings" "$(dirname "$log")"
  before=$(find "$findings" -type f | wc -l)
  echo "=== fuzz_$target for ${seconds}s"
  rc=0
  # The outer time-out only guards against a fuzzer that hangs outside
  # its own clock.
  timeout --kill-after=10 $((seconds + 120)) \
    "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$work" "$root/tests/fuzz/corpus/$target" \
    >"$log" 2>&1 || rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  found=$(( $(find "$findings" -type f | wc -l) - before ))
  if [ "$rc" -ne 0 ] && [ "$found" -eq 0 ]; then found=1; fi
  if [ "$found" -ne 0 ]; then
    status=1
    grep -E "INVARIANT BROKEN|ERROR: |runtime error|SUMMARY" "$log" | head -5 || true
    echo "    log: $log"
  fi
  report+=("$(printf '%-14s executions %10s   findings %s' "$target" "${runs:-?}" "$found")")
done

echo "=== fuzz summary (${seconds}s per target)"
printf '%s\n' "${report[@]}"
exit $status
