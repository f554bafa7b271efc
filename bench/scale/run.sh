#!/usr/bin/env bash
# The scale benchmark in one command: bench/scale/run.sh [build folder]
# Makes the 900,000-row and the 1,000-row databases once (cached in
# <build>/scale-cache, named by the filler's version), then prints every
# figure beside its baseline. The memory run listens on port 80, so it
# runs in a network namespace of its own (tests/run-in-netns.sh).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
ninja -C "$build" scale_bench scale_memory_bench veltindexer_sqlite filldb kbsite >/dev/null

export QT_QPA_PLATFORM=offscreen
cache="$build/scale-cache"
mkdir -p "$cache"
version=$("$build/tools/filldb/filldb" --version)

make_database() {  # name rows
  local file="$cache/$1-v$version.mdb"
  if [ ! -f "$file" ]; then
    echo "Making $file ($2 rows, once) ..." >&2
    rm -f "$file.part" "$file.part-wal" "$file.part-shm"
    "$build/tools/filldb/filldb" "$file.part" "$2" > "$file.counts"
    mv "$file.part" "$file"
  fi
  echo "$file"
}

full=$(make_database full 900000)
small=$(make_database small 1000)

"$build/bench/scale/scale_bench" "$full" "$small" "$full.counts" "$build/store/veltindexer_sqlite.so"
"$root/tests/run-in-netns.sh" "$build/bench/scale/scale_memory_bench" "$full" 30
